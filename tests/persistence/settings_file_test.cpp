#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "persistence/settings_file.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    void read(std::string_view text)
    {
        globals = GlobalState();
        options = Options();
        readSettings(IniProfile(text), defaults, globals, options);
    }
    IniProfile written()
    {
        IniProfile ini;
        writeSettings(ini, globals, options);
        return ini;
    }
    std::string existingFile(const std::string& name)
    {
        const auto path = folder / name;
        std::ofstream(path) << "x";
        return path.string();
    }

    test::TempDir folder;
    SettingsDefaults defaults { "/data/video clips", "/scratch" };
    GlobalState globals;
    Options options;
};

TEST_F(SettingsTest, AMissingFileGivesEveryDefault)
{
    read("");
    EXPECT_EQ(globals.BPM, 150.0);
    EXPECT_EQ(globals.JogAmount, 5.0);
    EXPECT_TRUE(globals.Loop);
    EXPECT_TRUE(globals.Layering);
    EXPECT_TRUE(globals.SelectionFollowsTriggers);
    EXPECT_TRUE(globals.LoadClipsFullscreen);
    EXPECT_TRUE(globals.LoadClipsKeepSettings);
    EXPECT_TRUE(globals.LoadLongClipsSilent);
    EXPECT_EQ(globals.DefaultBeatsPerClip, 4);
    EXPECT_EQ(globals.keyLetters.layout(), KeyboardLayout::Qwerty);
    EXPECT_EQ(globals.currentPatchPath, "/data/video clips/");
    EXPECT_EQ(globals.lastClipPath, "/data/video clips/");
    EXPECT_TRUE(options.midi.UseCircbuf);
    EXPECT_TRUE(options.midi.CurrentClipMIDIfollow);
    EXPECT_EQ(options.midi.controllers[40], -1);
    EXPECT_EQ(options.midi.channel, 1) << "no channel named: channel 1";
    EXPECT_EQ(options.render.RenderOutput, "/scratch/oskel.avi");
    EXPECT_EQ(options.console.consoleClip, "/data/video clips/console.avi");
    EXPECT_EQ(options.ui.AutoPatchInterval, 10);
    EXPECT_FALSE(options.windows.main.has_value()) << "no section: the main window is centred";
    EXPECT_EQ(options.windows.grid.left, 22);
    EXPECT_EQ(options.windows.grid.top, 612);
    EXPECT_EQ(options.display.previewAspectX, 16);
    EXPECT_EQ(options.display.previewAspectY, 9);
}

TEST_F(SettingsTest, ValuesThatWouldBreakTheInstrumentFallBackToTheirDefaults)
{
    struct Case {
        const char* text;
        double bpm;
        std::int32_t interval;
        std::int32_t beats;
    };
    for (const Case& c :
        std::vector<Case> {
            { "[Globals]\nBPM=INF\n[AutoPatchLoad]\nInterval=6000\n[FileIO]\nDefaultBeatsPerClip=0",
                150, 10, 4 },
            { "[Globals]\nBPM=-20\n[AutoPatchLoad]\nInterval=5999\n[FileIO]\nDefaultBeatsPerClip=8",
                150, 5999, 8 },
            { "[Globals]\nBPM=0\n[AutoPatchLoad]\nInterval=-3\n[FileIO]\nDefaultBeatsPerClip=-2",
                150, 10, 4 },
            { "[globals]\nbpm=128,5\n[autopatchload]\ninterval=1\n[fileio]\ndefaultbeatsperclip="
              "999",
                128.5, 1, 999 },
            { "[Globals]\nBPM=fast\n[AutoPatchLoad]\nInterval=$10\n[FileIO]\nDefaultBeatsPerClip="
              "1000",
                150, 16, 4 },
        }) {
        read(c.text);
        EXPECT_EQ(globals.BPM, c.bpm) << c.text;
        EXPECT_EQ(options.ui.AutoPatchInterval, c.interval) << c.text;
        EXPECT_EQ(globals.DefaultBeatsPerClip, c.beats) << c.text;
    }
}

TEST_F(SettingsTest, FrenchLocaleSelectsAzertyAndIsWrittenBack)
{
    read("[Globals]\nLocale=fr\n");
    EXPECT_EQ(globals.keyLetters.letter(1), 'a');
    EXPECT_EQ(globals.keyLetters.letter(3), 'z');
    EXPECT_EQ(written().readString("Globals", "Locale", ""), "fr");
    read("[Globals]\nLocale=de\n");
    EXPECT_EQ(globals.keyLetters.letter(1), 'q');
    EXPECT_EQ(written().readString("Globals", "Locale", ""), "en");
}

TEST_F(SettingsTest, KeysReadButNeverWrittenAndWrittenButNeverRead)
{
    read("[FileIO]\nLoadClipsKeepSettings=0\n[MIDI]\nVelocity=1\n[Render]\nRenderPreview=0\n"
         "[Oskel3MainForm]\nFullscreen=1\nLeft=-500\nTop=40\n[ThumbnailsForm]\nLeft=5\nTop=6\n"
         "[Playback]\ngenuineFullscreen=1\n[Files]\nCodecWarning=seen it\n");
    EXPECT_FALSE(globals.LoadClipsKeepSettings);
    EXPECT_TRUE(options.midi.VelocityVolume) << "\"Velocity\" is the default of \"VelocityVolume\"";
    EXPECT_FALSE(options.render.PreviewWhileRecord);
    EXPECT_TRUE(options.ui.startFullscreen);
    ASSERT_TRUE(options.windows.main.has_value());
    EXPECT_EQ(options.windows.main->left, -500) << "kept even off the screen";
    EXPECT_EQ(options.windows.grid.left, 5);

    const IniProfile out = written();
    for (const auto& [section, key] :
        std::vector<std::pair<const char*, const char*>> { { "FileIO", "LoadClipsKeepSettings" },
            { "MIDI", "Velocity" }, { "Render", "RenderPreview" },
            { "Oskel3MainForm", "Fullscreen" }, { "ThumbnailsForm", "Left" } }) {
        EXPECT_FALSE(out.hasKey(section, key)) << section << " " << key;
    }
    EXPECT_EQ(out.readRaw("Playback", "genuineFullscreen"), "0");
    EXPECT_EQ(out.readRaw("FileIO", "LoadCompositionSize"), "0");
    EXPECT_EQ(out.readRaw("Files", "CodecWarning"), "seen it");
    EXPECT_EQ(out.readRaw("PatchForm", "Visible"), "0");
    EXPECT_EQ(out.readInteger("Oskel3MainForm", "Left", 0), -500);
}

TEST_F(SettingsTest, PathsAreWrittenOnlyForFilesThatExist)
{
    const std::string patch = existingFile("set.OKP");
    const std::string notAPatch = existingFile("set.txt");
    const std::string clip = existingFile("clip.avi");
    const std::string stencil = existingFile("mask.bmp");

    read("[Files]\nStencil=" + std::string(folder.path() / "gone.bmp") + "\n");
    EXPECT_TRUE(options.files.stencil.empty()) << "a stencil that no longer exists is not read";

    struct Case {
        std::string patch, clip, stencil;
        bool patchWritten, clipWritten, stencilWritten;
    };
    for (const Case& c : std::vector<Case> { { patch, clip, stencil, true, true, true },
             { notAPatch, folder.path().string(), "", false, false, false },
             { (folder / "gone.okp").string(), (folder / "gone.avi").string(),
                 (folder / "gone.bmp").string(), false, false, false } }) {
        globals.currentPatchPath = c.patch;
        globals.lastClipPath = c.clip;
        options.files.stencil = c.stencil;
        IniProfile ini("[Files]\nPatch=previous.okp\n");
        writeSettings(ini, globals, options);
        EXPECT_EQ(ini.readString("Files", "Patch", ""), c.patchWritten ? c.patch : "previous.okp");
        EXPECT_EQ(ini.hasKey("Files", "Clip"), c.clipWritten) << c.clip;
        EXPECT_EQ(ini.hasKey("Files", "Stencil"), c.stencilWritten) << c.stencil;
    }
}

TEST_F(SettingsTest, ClipFolderHistoryKeepsTheNewest500AndLeavesNoStaleEntries)
{
    std::string text = "[ClipFileDirHistory]\n";
    for (int i = 0; i < 520; ++i) {
        text += std::to_string(i) + "=/clips/" + std::to_string(i) + "/\n";
    }
    read(text);
    ASSERT_EQ(globals.clipFolderHistory.size(), 500u);
    EXPECT_EQ(globals.clipFolderHistory.front(), "/clips/20/");
    EXPECT_EQ(globals.clipFolderHistory.back(), "/clips/519/");

    IniProfile ini(text);
    writeSettings(ini, globals, options);
    EXPECT_FALSE(ini.hasKey("ClipFileDirHistory", "500"));
    readSettings(ini, defaults, globals, options);
    EXPECT_EQ(globals.clipFolderHistory.front(), "/clips/20/");

    read("[ClipFileDirHistory]\n0=/a/\n1=/b/\n3=/d/\n");
    EXPECT_EQ(globals.clipFolderHistory, (std::vector<std::string> { "/a/", "/b/" }))
        << "reading stops at the first missing key";
}

TEST_F(SettingsTest, MidiChannelIsTheFirstTrueKeyAndOnlyItIsWrittenTrue)
{
    read("[Midi Channels]\n3=0\n5=1\n9=1\n");
    EXPECT_EQ(options.midi.channel, 5);
    const IniProfile out = written();
    for (int channel = 1; channel <= 16; ++channel) {
        EXPECT_EQ(out.readBool("Midi Channels", std::to_string(channel), true), channel == 5);
    }
}

// Every MIDI switch is kept on its own: each flipped alone comes back flipped, and only it.
TEST_F(SettingsTest, EveryMidiSwitchAndTheChannelReadBack)
{
    using Switch = bool MidiOptions::*;
    const Switch switches[] = { &MidiOptions::NoteOff, &MidiOptions::PitchNotes,
        &MidiOptions::VelocityOpacity, &MidiOptions::DisableBlackNotes,
        &MidiOptions::DisablePitchAndMod, &MidiOptions::KaossPad, &MidiOptions::IndividualChannels,
        &MidiOptions::DisablePatchLoading, &MidiOptions::OKPloadMIDIconfig,
        &MidiOptions::MIDIguitairMode, &MidiOptions::UseCircbuf,
        &MidiOptions::CurrentClipMIDIfollow, &MidiOptions::VelocityVolume,
        &MidiOptions::AutoMapActive, &MidiOptions::SyncToClock };
    for (std::size_t flipped = 0; flipped < std::size(switches); ++flipped) {
        SCOPED_TRACE(flipped);
        read("");
        const MidiOptions before = options.midi;
        options.midi.*switches[flipped] = !(before.*switches[flipped]);
        options.midi.channel = 11;
        readSettings(written(), defaults, globals, options);
        for (std::size_t k = 0; k < std::size(switches); ++k) {
            EXPECT_EQ(options.midi.*switches[k], (before.*switches[k]) != (k == flipped)) << k;
        }
        EXPECT_EQ(options.midi.channel, 11);
    }
}

TEST_F(SettingsTest, EveryWrittenOptionReadsBackAsItWas)
{
    read("");
    globals.Loop = false;
    globals.PCKeyNoteOff = true;
    globals.NewTriggerStopsClips = true;
    globals.BPM = 133.25;
    globals.JogAmount = 2;
    globals.BPMfollow = true;
    globals.CrossfadeVideo = false;
    globals.DefaultBeatsPerClip = 16;
    globals.LoadClipsInSyncMode = true;
    globals.LivePatchLoading = true;
    globals.keyLetters = KeyLetterMap(KeyboardLayout::Azerty);
    globals.clipFolderHistory = { "/one/", "/two/" };
    options.midi.controllers[7] = 74;
    options.midi.controllerInverts[40] = true;
    options.midi.KaossPad = true;
    options.midi.UseCircbuf = false;
    options.midi.InputDevice = 2;
    options.midi.OutputDevice = 3;
    options.midi.InputDeviceName = "USB Keys:USB Keys MIDI 1";
    options.midi.OutputDeviceName = "Oskel Loopback";
    options.display.SoftSwap = true;
    options.display.ShowMouseOverSecDisplay = false;
    options.render.PreviewWhileRender = false;
    options.render.ScratchDisk = "/fast/disk";
    options.console.ConsolePlayTime = 1234;
    options.ui.thumbnails = ThumbnailPosition::Middle;
    options.ui.AutoPatchInterval = 42;
    options.ui.AnimatedThumbs = false;
    options.windows.main = WindowPlacement { 10, 20, false };
    options.windows.midi = WindowPlacement { 1, 2, true };
    options.osc = OscOptions { true, 9100, true };

    const GlobalState before = globals;
    const Options optionsBefore = options;
    const IniProfile ini = written();
    readSettings(ini, defaults, globals, options);

    EXPECT_EQ(globals.Loop, before.Loop);
    EXPECT_EQ(globals.PCKeyNoteOff, before.PCKeyNoteOff);
    EXPECT_EQ(globals.NewTriggerStopsClips, before.NewTriggerStopsClips);
    EXPECT_EQ(globals.BPM, before.BPM);
    EXPECT_EQ(globals.JogAmount, before.JogAmount);
    EXPECT_EQ(globals.BPMfollow, before.BPMfollow);
    EXPECT_EQ(globals.CrossfadeVideo, before.CrossfadeVideo);
    EXPECT_EQ(globals.DefaultBeatsPerClip, before.DefaultBeatsPerClip);
    EXPECT_EQ(globals.LoadClipsInSyncMode, before.LoadClipsInSyncMode);
    EXPECT_EQ(globals.LivePatchLoading, before.LivePatchLoading);
    EXPECT_EQ(globals.keyLetters.layout(), KeyboardLayout::Azerty);
    EXPECT_EQ(globals.clipFolderHistory, before.clipFolderHistory);
    EXPECT_EQ(options.midi.controllers, optionsBefore.midi.controllers);
    EXPECT_EQ(options.midi.controllerInverts, optionsBefore.midi.controllerInverts);
    EXPECT_TRUE(options.midi.KaossPad);
    EXPECT_FALSE(options.midi.UseCircbuf);
    EXPECT_EQ(options.midi.InputDevice, 2);
    EXPECT_EQ(options.midi.OutputDevice, 3);
    EXPECT_EQ(options.midi.InputDeviceName, optionsBefore.midi.InputDeviceName);
    EXPECT_EQ(options.midi.OutputDeviceName, optionsBefore.midi.OutputDeviceName);
    EXPECT_TRUE(options.display.SoftSwap);
    EXPECT_FALSE(options.display.ShowMouseOverSecDisplay);
    EXPECT_FALSE(options.render.PreviewWhileRender);
    EXPECT_EQ(options.render.ScratchDisk, "/fast/disk");
    EXPECT_EQ(options.console.ConsolePlayTime, 1234);
    EXPECT_EQ(options.ui.thumbnails, ThumbnailPosition::Middle);
    EXPECT_EQ(options.ui.AutoPatchInterval, 42);
    EXPECT_FALSE(options.ui.AnimatedThumbs);
    ASSERT_TRUE(options.windows.main.has_value());
    EXPECT_EQ(options.windows.main->left, 10);
    EXPECT_EQ(options.windows.midi.left, 1);
    EXPECT_TRUE(options.windows.midi.visible);
    EXPECT_TRUE(options.osc.enabled);
    EXPECT_EQ(options.osc.port, 9100);
    EXPECT_TRUE(options.osc.allInterfaces);
}

// OSC stays off and on 127.0.0.1 unless the file says otherwise; a port that is no UDP port
// gives the usual one.
TEST_F(SettingsTest, OscIsOffAndLocalUnlessChosenAndBadPortsGiveTheUsualOne)
{
    read("");
    EXPECT_FALSE(options.osc.enabled);
    EXPECT_FALSE(options.osc.allInterfaces);
    EXPECT_EQ(options.osc.port, 9000);
    for (const char* port : { "70000", "-1", "udp" }) {
        read(std::string("[OSC]\nEnabled=1\nPort=") + port);
        EXPECT_TRUE(options.osc.enabled);
        EXPECT_EQ(options.osc.port, 9000) << port;
    }
}

// The stream is off without an address until the file says otherwise; the address reads back
// exactly, a stream key and all.
TEST_F(SettingsTest, StreamIsOffUntilChosenAndItsAddressReadsBack)
{
    read("");
    EXPECT_FALSE(options.stream.enabled);
    EXPECT_EQ(options.stream.url, "");
    options.stream = StreamOptions { true, "rtmp://live.example/app/KEY?x=1;y=\"2\"" };
    const IniProfile ini = written();
    EXPECT_TRUE(ini.hasKey("Stream", "Enabled"));
    EXPECT_TRUE(ini.hasKey("Stream", "Url"));
    options.stream = StreamOptions {};
    readSettings(ini, defaults, globals, options);
    EXPECT_TRUE(options.stream.enabled);
    EXPECT_EQ(options.stream.url, "rtmp://live.example/app/KEY?x=1;y=\"2\"");
}

// The virtual camera is off until chosen, on the device the instrument suggests making; the
// chosen device's name reads back exactly.
TEST_F(SettingsTest, VirtualCameraIsOffUntilChosenAndItsDeviceReadsBack)
{
    read("");
    EXPECT_FALSE(options.camera.enabled);
    EXPECT_EQ(options.camera.device, "Oskel 3");
    options.camera = CameraOptions { true, "Loopback \"video\" 2" };
    const IniProfile ini = written();
    EXPECT_TRUE(ini.hasKey("VirtualCamera", "Enabled"));
    EXPECT_TRUE(ini.hasKey("VirtualCamera", "Device"));
    options.camera = CameraOptions {};
    readSettings(ini, defaults, globals, options);
    EXPECT_TRUE(options.camera.enabled);
    EXPECT_EQ(options.camera.device, "Loopback \"video\" 2");
}

TEST_F(SettingsTest, HdCompositionIsOnForNewInstallsOnlyUntilChosen)
{
    struct Case {
        const char* file;
        bool on;
    };
    for (const Case& c :
        { Case { "", true }, Case { "[Display]\nShowMouseOverSecDisplay=1\n", false },
            Case { "[Files]\nScratchDisk=/tmp\n", false },
            Case { "[Display]\ndisplayOption=1\nHDComposition=1\n", true },
            Case { "[Display]\nHDComposition=0\n", false } }) {
        read(c.file);
        EXPECT_EQ(options.display.hdComposition, c.on) << c.file;
    }
}

// A device is found again by its name, so the name must read back exactly, whatever it holds.
TEST_F(SettingsTest, MidiDeviceNamesReadBackExactly)
{
    read("[MIDI]\nInputDevice=4\n");
    EXPECT_EQ(options.midi.InputDevice, 4);
    EXPECT_EQ(options.midi.InputDeviceName, "") << "files from before the names give none";

    for (const std::string name : { "Pads", " Pads", "Pads ", "\"Pads\"", "\"Pads", "a \"b\" c",
             "Midi Through:Midi Through Port-0", "" }) {
        options.midi.InputDeviceName = name;
        options.midi.OutputDeviceName = name + "!";
        const IniProfile ini = written();
        EXPECT_TRUE(ini.hasKey("MIDI", "InputDeviceName"));
        readSettings(ini, defaults, globals, options);
        EXPECT_EQ(options.midi.InputDeviceName, name);
        EXPECT_EQ(options.midi.OutputDeviceName, name + "!");
    }
}

TEST_F(SettingsTest, GarbageGivesDefaultsAndNeverCrashes)
{
    std::string garbage = "[Globals\n=BPM\nBPM==12\n[Playback]\nLoop=maybe\n\x01\x02\xff\xfe\n";
    garbage += std::string(100000, 'x') + "\n[Globals]\nBPM=90\n[MIDIcontrollers]\n3=400\n4=-7\n";
    garbage.push_back('\0');
    garbage += "tail";
    read(garbage);
    EXPECT_TRUE(globals.Loop);
    EXPECT_EQ(globals.BPM, 90.0);
    EXPECT_EQ(options.midi.controllers[3], -1) << "controller numbers stop at 127";
    EXPECT_EQ(options.midi.controllers[4], -1);
}

// The secondary output's place is read back as written, under the keys other versions of the
// settings file use; right and bottom stay unset until the performer sets a custom rectangle.
TEST_F(SettingsTest, SecondaryOutputPlaceReadsBackUnderItsKeys)
{
    read("");
    EXPECT_FALSE(options.display.secondaryExpanded);
    EXPECT_EQ(options.display.secondary, SecondaryOutputPlace {});

    options.display.secondaryExpanded = true;
    options.display.secondary = SecondaryOutputPlace { 1, 1920, -40, true, 1280, 96, 2304, 672 };
    const IniProfile ini = written();
    EXPECT_EQ(ini.readInteger("Display", "secondary-monitor", -1), 1);
    EXPECT_EQ(ini.readInteger("SecDisplayForm", "Left", 0), 1920);
    EXPECT_EQ(ini.readInteger("SecDisplayForm", "Top", 0), -40);
    EXPECT_EQ(ini.readString("secondaryDisplayCustom", "useCustomMode", ""), "1");
    EXPECT_EQ(ini.readInteger("secondaryDisplayCustom", "right", 0), 2304);
    EXPECT_EQ(ini.readInteger("secondaryDisplayCustom", "bottom", 0), 672);

    const Options before = options;
    options = Options();
    readSettings(ini, defaults, globals, options);
    EXPECT_TRUE(options.display.secondaryExpanded);
    EXPECT_EQ(options.display.secondary, before.display.secondary);
}

TEST_F(SettingsTest, SecondaryOutputKeysThatAreNoNumbersAreUnset)
{
    read("[SecDisplayForm]\nLeft=far\nTop=99999999999\n[secondaryDisplayCustom]\n"
         "useCustomMode=1\nleft=x\nright=\nbottom=5000000000\n");
    const SecondaryOutputPlace& place = options.display.secondary;
    EXPECT_FALSE(place.left.has_value());
    EXPECT_FALSE(place.top.has_value());
    EXPECT_TRUE(place.useCustomMode);
    EXPECT_EQ(place.customLeft, 0);
    EXPECT_FALSE(place.customRight.has_value());
    EXPECT_FALSE(place.customBottom.has_value());
}

class SettingsFileTest : public ::testing::Test {
protected:
    static void writeBytes(const std::filesystem::path& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string readBytes(const std::filesystem::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    test::TempDir folder;
};

TEST_F(SettingsFileTest, UpdatingKeepsForeignKeysAndCreatesTheFolder)
{
    SettingsFile settings(folder / "config" / "oskel3");
    SettingsFile::Loaded loaded = settings.load();
    EXPECT_FALSE(loaded.problem);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "config" / "oskel3"));

    std::ofstream(settings.path()) << "; kept\n[SecDisplayForm]\nLeft=7\n[Globals]\nBPM=99\n";
    GlobalState globals;
    Options options;
    EXPECT_FALSE(settings.update([&](IniProfile& ini) { writeSettings(ini, globals, options); }));
    const IniProfile saved = readIniFile(settings.path()).profile;
    EXPECT_EQ(saved.readInteger("SecDisplayForm", "Left", 0), 7);
    EXPECT_EQ(saved.readFloat("Globals", "BPM", 0), 150.0);
    EXPECT_EQ(saved.text().rfind("; kept", 0), 0u);
}

TEST_F(SettingsFileTest, AFolderThatCannotBeMadeGivesOneProblemAndNoWrite)
{
    std::ofstream(folder / "blocker") << "a file where the folder should be";
    SettingsFile settings(folder / "blocker" / "oskel3");
    const SettingsFile::Loaded loaded = settings.load();
    ASSERT_TRUE(loaded.problem);
    EXPECT_NE(loaded.problem->find("default settings"), std::string::npos) << *loaded.problem;
    EXPECT_TRUE(settings.update([](IniProfile&) {}).has_value());
}

TEST_F(SettingsFileTest, AnUnreadableFileIsNeverOverwritten)
{
    SettingsFile settings(folder.path());
    std::filesystem::create_directory(settings.path()); // a folder in the file's place
    const SettingsFile::Loaded loaded = settings.load();
    ASSERT_TRUE(loaded.problem);
    EXPECT_TRUE(settings.update([](IniProfile& ini) { ini.writeBool("A", "B", true); }));
    EXPECT_TRUE(std::filesystem::is_directory(settings.path()));
}

// A file with lines the settings cannot read is kept as it was before it is written over; in
// the new file every line that is not ours keeps every byte.
TEST_F(SettingsFileTest, AFileWithUnreadableLinesIsKeptAsBakBeforeASave)
{
    SettingsFile settings(folder.path());
    std::string garbage = "this is no settings file\r\n[Globals]\nBPM=99\r\n";
    for (int k = 0; k < 600; ++k) {
        garbage += static_cast<char>((k * 97 + 5) % 256);
    }
    writeBytes(settings.path(), garbage);
    const SettingsFile::Loaded loaded = settings.load();
    ASSERT_TRUE(loaded.problem);
    EXPECT_NE(loaded.problem->find("oskelstandard.ini.bak"), std::string::npos) << *loaded.problem;

    GlobalState globals;
    Options options;
    ASSERT_FALSE(settings.update([&](IniProfile& ini) { writeSettings(ini, globals, options); }));
    EXPECT_EQ(readBytes(settings.backupPath()), garbage);
    const std::string saved = readBytes(settings.path());
    EXPECT_EQ(saved.rfind("this is no settings file\r\n[Globals]\nBPM=150\r\n", 0), 0u);
    const std::string binaryPart = garbage.substr(garbage.find("BPM=99\r\n") + 8);
    EXPECT_NE(saved.find(binaryPart), std::string::npos) << "the unreadable bytes are all kept";

    // A file the settings read whole has no copy kept.
    std::filesystem::remove(settings.backupPath());
    writeBytes(settings.path(), "[Globals]\nBPM=99\n");
    ASSERT_FALSE(settings.load().problem);
    ASSERT_FALSE(settings.update([&](IniProfile& ini) { writeSettings(ini, globals, options); }));
    EXPECT_FALSE(std::filesystem::exists(settings.backupPath()));
}

} // namespace
} // namespace oskel
