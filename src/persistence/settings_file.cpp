#include "persistence/settings_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>
#include <unordered_set>

#include "core/ascii.h"
#include "persistence/ini_text.h"
#include "persistence/midi_assignments.h"
#include "persistence/secondary_output_keys.h"
#include "platform/safe_file.h"

namespace oskel {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kGlobals = "Globals";
constexpr std::string_view kGlobal = "Global";
constexpr std::string_view kPlayback = "Playback";
constexpr std::string_view kMidi = "MIDI";
constexpr std::string_view kMidiChannels = "Midi Channels";
constexpr std::string_view kFiles = "Files";
constexpr std::string_view kFileIO = "FileIO";
constexpr std::string_view kRender = "Render";
constexpr std::string_view kThumbnails = "Thumbnails";
constexpr std::string_view kAutoPatchLoad = "AutoPatchLoad";
constexpr std::string_view kConsoleMode = "ConsoleMode";
constexpr std::string_view kOsc = "OSC";
constexpr std::string_view kStream = "Stream";
constexpr std::string_view kCamera = "VirtualCamera";
constexpr std::string_view kDisplay = "Display";
constexpr std::string_view kMainForm = "Oskel3MainForm";
constexpr std::string_view kClipHistory = "ClipFileDirHistory";

constexpr double kDefaultBpm = 150.0;
constexpr std::int32_t kDefaultBeatsPerClip = 4;
constexpr std::int32_t kMaxBeatsPerClip = 999;
constexpr std::int32_t kDefaultPatchInterval = 10;
constexpr std::int32_t kMaxPatchInterval = 5999;

std::int32_t readInt32(const IniProfile& ini, std::string_view section, std::string_view key,
    std::int32_t defaultValue)
{
    const std::int64_t value = ini.readInteger(section, key, defaultValue);
    const bool fits = value >= std::numeric_limits<std::int32_t>::min()
        && value <= std::numeric_limits<std::int32_t>::max();
    return fits ? static_cast<std::int32_t>(value) : defaultValue;
}

// Writes a value that must read back exactly, such as a device's name: in quotes when the
// blanks around it or quotes enclosing it would otherwise be lost on reading.
void writeVerbatim(
    IniProfile& ini, std::string_view section, std::string_view key, const std::string& value)
{
    const bool enclosed = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    if (enclosed || detail::trimIniBlanks(value) != value) {
        ini.writeString(section, key, '"' + value + '"');
    } else {
        ini.writeString(section, key, value);
    }
}

bool isExistingFile(const std::string& path)
{
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

bool isExistingPatch(const std::string& path)
{
    return isExistingFile(path) && sameWithoutCase(fs::path(path).extension().string(), ".okp");
}

std::string folderText(const fs::path& folder)
{
    std::string text = folder.string();
    if (!text.empty() && text.back() != '/') {
        text += '/';
    }
    return text;
}

// --- reading -------------------------------------------------------------------------------

void readFiles(
    const IniProfile& ini, const SettingsDefaults& defaults, GlobalState& globals, Options& options)
{
    const std::string clipFolder = folderText(defaults.clipFolder);
    globals.currentPatchPath = ini.readString(kFiles, "Patch", clipFolder);
    globals.lastClipPath = ini.readString(kFiles, "Clip", clipFolder);
    const std::string stencil = ini.readString(kFiles, "Stencil", "");
    options.files.stencil = isExistingFile(stencil) ? stencil : std::string();
    options.files.codecWarning = ini.readRaw(kFiles, "CodecWarning");
    options.render.ScratchDisk
        = ini.readString(kFiles, "ScratchDisk", defaults.tempFolder.string());
    options.render.RenderOutput
        = ini.readString(kFiles, "RenderOutput", (defaults.tempFolder / "oskel.avi").string());
}

void readMidi(const IniProfile& ini, MidiOptions& midi)
{
    midi.NoteOff = ini.readBool(kMidi, "NoteOff", false);
    midi.PitchNotes = ini.readBool(kMidi, "PitchNotes", false);
    midi.VelocityOpacity = ini.readBool(kMidi, "VelocityOpacity", false);
    midi.DisableBlackNotes = ini.readBool(kMidi, "DisableBlackNotes", false);
    midi.DisablePitchAndMod = ini.readBool(kMidi, "DisablePitchAndMod", false);
    midi.KaossPad = ini.readBool(kMidi, "KaossPad", false);
    midi.IndividualChannels = ini.readBool(kMidi, "IndividualChannels", false);
    midi.DisablePatchLoading = ini.readBool(kMidi, "DisablePatchLoading", false);
    midi.OKPloadMIDIconfig = ini.readBool(kMidi, "OKPloadMIDIconfig", false);
    midi.MIDIguitairMode = ini.readBool(kMidi, "MIDIguitairMode", false);
    midi.UseCircbuf = ini.readBool(kMidi, "UseCircbuf", true);
    midi.SyncToClock = ini.readBool(kMidi, "SyncToClock", false);
    midi.CurrentClipMIDIfollow = ini.readBool(kMidi, "CurrentClipMIDIfollow", true);
    midi.VelocityVolume
        = ini.readBool(kMidi, "VelocityVolume", ini.readBool(kMidi, "Velocity", false));
    midi.InputDevice = readInt32(ini, kMidi, "InputDevice", 0);
    midi.OutputDevice = readInt32(ini, kMidi, "OutputDevice", 0);
    midi.InputDeviceName = ini.readString(kMidi, "InputDeviceName", "");
    midi.OutputDeviceName = ini.readString(kMidi, "OutputDeviceName", "");
    midi.AutoMapActive = ini.readBool(kMidi, "AutoMapActive", false);

    readMidiAssignments(ini, midi.controllers, midi.controllerInverts);
    midi.channel = 0;
    for (int channel = 1; channel <= 16 && midi.channel == 0; ++channel) {
        if (ini.readBool(kMidiChannels, std::to_string(channel), false)) {
            midi.channel = channel;
        }
    }
    // A file that names no channel, as on a first start, listens on channel 1.
    if (midi.channel == 0) {
        midi.channel = 1;
    }
}

void readOsc(const IniProfile& ini, OscOptions& osc)
{
    osc.enabled = ini.readBool(kOsc, "Enabled", false);
    const std::int32_t port = readInt32(ini, kOsc, "Port", 9000);
    osc.port = port >= 0 && port <= 65535 ? port : 9000;
    osc.allInterfaces = ini.readBool(kOsc, "AllInterfaces", false);
}

void readStream(const IniProfile& ini, StreamOptions& stream)
{
    stream.enabled = ini.readBool(kStream, "Enabled", false);
    stream.url = ini.readString(kStream, "Url", "");
}

void writeStream(IniProfile& ini, const StreamOptions& stream)
{
    ini.writeBool(kStream, "Enabled", stream.enabled);
    ini.writeString(kStream, "Url", stream.url);
}

void readCamera(const IniProfile& ini, CameraOptions& camera)
{
    camera.enabled = ini.readBool(kCamera, "Enabled", false);
    camera.device = ini.readString(kCamera, "Device", CameraOptions {}.device);
}

void writeCamera(IniProfile& ini, const CameraOptions& camera)
{
    ini.writeBool(kCamera, "Enabled", camera.enabled);
    ini.writeString(kCamera, "Device", camera.device);
}

void writeOsc(IniProfile& ini, const OscOptions& osc)
{
    ini.writeBool(kOsc, "Enabled", osc.enabled);
    ini.writeInteger(kOsc, "Port", osc.port);
    ini.writeBool(kOsc, "AllInterfaces", osc.allInterfaces);
}

void readDisplay(const IniProfile& ini, DisplayOptions& display)
{
    const std::int32_t option = readInt32(ini, kDisplay, "displayOption", 0);
    display.displayOption = option >= 0 && option <= 2 ? option : 0;
    display.ShowMouseOverSecDisplay = ini.readBool(kDisplay, "ShowMouseOverSecDisplay", true);
    display.SoftSwap = ini.readBool(kPlayback, "SoftSwap", false);
    display.manualPreviewSize = ini.readBool(kDisplay, "manualPreviewSize", false);
    const std::int32_t aspectX = readInt32(ini, kDisplay, "previewAspectX", 16);
    const std::int32_t aspectY = readInt32(ini, kDisplay, "previewAspectY", 9);
    const bool usableAspect = aspectX > 0 && aspectY > 0;
    display.previewAspectX = usableAspect ? aspectX : 16;
    display.previewAspectY = usableAspect ? aspectY : 9;
    display.Overlay = ini.readBool(kGlobals, "Overlay", true);
    // On for a new install; a settings file from before the option (every one written holds
    // these sections) keeps composing at 384 x 288 until the performer turns it on.
    const bool newInstall = !ini.hasSection(kDisplay) && !ini.hasSection(kFiles);
    display.hdComposition = ini.readBool(kDisplay, "HDComposition", newInstall);
}

void readPlayback(const IniProfile& ini, GlobalState& globals)
{
    globals.NewTriggerStopsClips = ini.readBool(kMidi, "NewTriggerStopsClips", false);
    globals.Loop = ini.readBool(kPlayback, "Loop", true);
    globals.PCKeyNoteOff = ini.readBool(kPlayback, "PCKeyNoteOff", false);
    globals.Layering = ini.readBool(kPlayback, "Layering", true);
    globals.SelectionFollowsTriggers = ini.readBool(kPlayback, "SelectionFollowsTriggers", true);
    globals.ColouredBackground = ini.readBool(kPlayback, "ColouredBackground", false);
    globals.ConstrainMovement = ini.readBool(kPlayback, "constrainMovement", false);
}

void readGlobals(const IniProfile& ini, GlobalState& globals, InterfaceOptions& ui)
{
    ui.MIDIKeyLetters = ini.readBool(kGlobals, "MIDIKeyLetters", false);
    globals.keyLetters = KeyLetterMap(readKeyboardLayout(ini));
    // A tempo must be a positive number of beats per minute.
    const double bpm = ini.readFloat(kGlobals, "BPM", kDefaultBpm);
    globals.BPM = bpm > 0.0 ? bpm : kDefaultBpm;
    globals.JogAmount = ini.readFloat(kGlobals, "JogAmount", 5.0);
    ui.DisableTAB = ini.readBool(kGlobals, "DisableTAB", false);
    globals.BPMfollow = ini.readBool(kGlobals, "BPMfollow", false);
    globals.CrossfadeAudio = ini.readBool(kGlobals, "CrossfadeAudio", true);
    globals.CrossfadeVideo = ini.readBool(kGlobals, "CrossfadeVideo", true);
    ui.AnimatedThumbs = ini.readBool(kGlobal, "animatedThumbs", true);
}

void readFileIO(const IniProfile& ini, GlobalState& globals, InterfaceOptions& ui)
{
    const std::int32_t beats = readInt32(ini, kFileIO, "DefaultBeatsPerClip", kDefaultBeatsPerClip);
    globals.DefaultBeatsPerClip
        = beats >= 1 && beats <= kMaxBeatsPerClip ? beats : kDefaultBeatsPerClip;
    globals.LoadClipsFullscreen = ini.readBool(kFileIO, "LoadClipsFullscreen", true);
    globals.LoadClipsInSyncMode = ini.readBool(kFileIO, "LoadClipsInSyncMode", false);
    globals.LoadClipsKeepSettings = ini.readBool(kFileIO, "LoadClipsKeepSettings", true);
    globals.LoadLongClipsSilent = ini.readBool(kFileIO, "LoadLongClipsSilent", true);
    globals.LoadClipsSilent = ini.readBool(kFileIO, "LoadClipsSilent", false);
    globals.LivePatchLoading = ini.readBool(kFileIO, "LivePatchLoading", false);
    ui.ShowLoadingScreen = ini.readBool(kFileIO, "ShowLoadingScreen", true);
}

void readRenderConsoleAndGrid(
    const IniProfile& ini, const SettingsDefaults& defaults, Options& options)
{
    options.render.PreviewWhileRecord
        = ini.readBool(kRender, "PreviewWhileRecord", ini.readBool(kRender, "RenderPreview", true));
    options.render.PreviewWhileRender = ini.readBool(kRender, "PreviewWhileRender", true);

    options.ui.thumbnails = ini.readString(kThumbnails, "Position", "Beginning") == "Beginning"
        ? ThumbnailPosition::Beginning
        : ThumbnailPosition::Middle;
    const std::int32_t interval = readInt32(ini, kAutoPatchLoad, "Interval", kDefaultPatchInterval);
    options.ui.AutoPatchInterval
        = interval >= 1 && interval <= kMaxPatchInterval ? interval : kDefaultPatchInterval;

    options.console.Startup = ini.readBool(kConsoleMode, "Startup", false);
    options.console.ConsolePlayTime = readInt32(ini, kConsoleMode, "ConsolePlayTime", 30000);
    options.console.ConsolePostPlayTime = readInt32(ini, kConsoleMode, "ConsolePostPlayTime", 8000);
    options.console.consoleClip = (defaults.clipFolder / "console.avi").string();
}

WindowPlacement readPlacement(const IniProfile& ini, std::string_view section,
    const WindowPlacement& defaults, bool withVisible)
{
    WindowPlacement placement = defaults;
    placement.left = readInt32(ini, section, "Left", defaults.left);
    placement.top = readInt32(ini, section, "Top", defaults.top);
    if (withVisible) {
        placement.visible = ini.readBool(section, "Visible", defaults.visible);
    }
    return placement;
}

void readWindows(const IniProfile& ini, Options& options)
{
    WindowLayout& windows = options.windows;
    const WindowLayout defaults;
    windows.main = ini.hasSection(kMainForm)
        ? std::optional(readPlacement(ini, kMainForm, WindowPlacement {}, false))
        : std::nullopt;
    options.ui.startFullscreen = ini.readBool(kMainForm, "Fullscreen", false);
    windows.grid = readPlacement(ini, "ThumbnailsForm", defaults.grid, false);
    windows.midi = readPlacement(ini, "MIDIform", defaults.midi, true);
    windows.preferences = readPlacement(ini, "OptionsForm", defaults.preferences, false);
    windows.loadMultipleClips
        = readPlacement(ini, "LoadMultipleClipsForm", defaults.loadMultipleClips, false);
    windows.help = readPlacement(ini, "HelpForm", defaults.help, false);
    windows.performance = readPlacement(ini, "PerformanceForm", defaults.performance, true);
}

// Read until the first missing key, "0" upwards; only the newest entries are kept.
std::vector<std::string> readClipFolderHistory(const IniProfile& ini)
{
    std::unordered_set<std::string> present;
    for (const std::string& key : ini.keys(kClipHistory)) {
        present.insert(key);
    }
    std::size_t count = 0;
    while (present.count(std::to_string(count)) != 0) {
        ++count;
    }
    const std::size_t first = count > GlobalState::kMaxClipFolderHistory
        ? count - GlobalState::kMaxClipFolderHistory
        : 0;
    std::vector<std::string> history;
    for (std::size_t i = first; i < count; ++i) {
        history.push_back(ini.readString(kClipHistory, std::to_string(i), ""));
    }
    return history;
}

// --- writing -------------------------------------------------------------------------------

void writePlacement(
    IniProfile& ini, std::string_view section, const WindowPlacement& placement, bool withVisible)
{
    ini.writeInteger(section, "Left", placement.left);
    ini.writeInteger(section, "Top", placement.top);
    if (withVisible) {
        ini.writeBool(section, "Visible", placement.visible);
    }
}

void writeFilesAndWindows(IniProfile& ini, const GlobalState& globals, const Options& options)
{
    if (isExistingPatch(globals.currentPatchPath)) {
        ini.writeString(kFiles, "Patch", globals.currentPatchPath);
    }
    ini.writeBool(kDisplay, "ShowMouseOverSecDisplay", options.display.ShowMouseOverSecDisplay);
    if (isExistingFile(globals.lastClipPath)) {
        ini.writeString(kFiles, "Clip", globals.lastClipPath);
    }
    if (isExistingFile(options.files.stencil)) {
        ini.writeString(kFiles, "Stencil", options.files.stencil);
    }
    const WindowLayout& windows = options.windows;
    if (windows.main) {
        writePlacement(ini, kMainForm, *windows.main, false);
    }
    writePlacement(ini, "MIDIform", windows.midi, true);
    writePlacement(ini, "OptionsForm", windows.preferences, false);
    writePlacement(ini, "LoadMultipleClipsForm", windows.loadMultipleClips, false);
    writePlacement(ini, "PatchForm", windows.patch, true);
    writePlacement(ini, "HelpForm", windows.help, false);
    writePlacement(ini, "PerformanceForm", windows.performance, true);
}

void writeMidi(IniProfile& ini, const GlobalState& globals, const MidiOptions& midi)
{
    ini.writeBool(kMidi, "NewTriggerStopsClips", globals.NewTriggerStopsClips);
    ini.writeInteger(kMidi, "InputDevice", midi.InputDevice);
    ini.writeInteger(kMidi, "OutputDevice", midi.OutputDevice);
    writeVerbatim(ini, kMidi, "InputDeviceName", midi.InputDeviceName);
    writeVerbatim(ini, kMidi, "OutputDeviceName", midi.OutputDeviceName);
    ini.writeBool(kMidi, "AutoMapActive", midi.AutoMapActive);
    ini.writeBool(kMidi, "NoteOff", midi.NoteOff);
    ini.writeBool(kMidi, "VelocityVolume", midi.VelocityVolume);
    ini.writeBool(kMidi, "VelocityOpacity", midi.VelocityOpacity);
    ini.writeBool(kMidi, "PitchNotes", midi.PitchNotes);
    ini.writeBool(kMidi, "DisableBlackNotes", midi.DisableBlackNotes);
    ini.writeBool(kMidi, "DisablePitchAndMod", midi.DisablePitchAndMod);
    ini.writeBool(kMidi, "KaossPad", midi.KaossPad);
    ini.writeBool(kMidi, "UseCircbuf", midi.UseCircbuf);
    ini.writeBool(kMidi, "SyncToClock", midi.SyncToClock);
    ini.writeBool(kMidi, "OKPloadMIDIconfig", midi.OKPloadMIDIconfig);
    ini.writeBool(kMidi, "MIDIguitairMode", midi.MIDIguitairMode);
    ini.writeBool(kMidi, "CurrentClipMIDIfollow", midi.CurrentClipMIDIfollow);
    ini.writeBool(kMidi, "DisablePatchLoading", midi.DisablePatchLoading);
    ini.writeBool(kMidi, "IndividualChannels", midi.IndividualChannels);
    writeMidiAssignments(ini, midi.controllers, midi.controllerInverts);
}

void writePlaybackFilesRenderFileIO(
    IniProfile& ini, const GlobalState& globals, const Options& options)
{
    ini.writeBool(kPlayback, "Loop", globals.Loop);
    ini.writeBool(kPlayback, "PCKeyNoteOff", globals.PCKeyNoteOff);
    ini.writeBool(kPlayback, "Layering", globals.Layering);
    ini.writeBool(kPlayback, "SelectionFollowsTriggers", globals.SelectionFollowsTriggers);
    ini.writeBool(kPlayback, "ColouredBackground", globals.ColouredBackground);
    ini.writeBool(kPlayback, "constrainMovement", globals.ConstrainMovement);
    ini.writeBool(kPlayback, "SoftSwap", options.display.SoftSwap);
    ini.writeBool(kPlayback, "genuineFullscreen", false);

    ini.writeString(kFiles, "ScratchDisk", options.render.ScratchDisk);
    ini.writeString(kFiles, "RenderOutput", options.render.RenderOutput);
    if (options.files.codecWarning) {
        ini.writeString(kFiles, "CodecWarning", *options.files.codecWarning);
    }
    ini.writeBool(kRender, "PreviewWhileRecord", options.render.PreviewWhileRecord);
    ini.writeBool(kRender, "PreviewWhileRender", options.render.PreviewWhileRender);

    ini.writeInteger(kFileIO, "DefaultBeatsPerClip", globals.DefaultBeatsPerClip);
    ini.writeBool(kFileIO, "LoadClipsFullscreen", globals.LoadClipsFullscreen);
    ini.writeBool(kFileIO, "LoadClipsInSyncMode", globals.LoadClipsInSyncMode);
    ini.writeBool(kFileIO, "LoadLongClipsSilent", globals.LoadLongClipsSilent);
    ini.writeBool(kFileIO, "LoadClipsSilent", globals.LoadClipsSilent);
    ini.writeBool(kFileIO, "LivePatchLoading", globals.LivePatchLoading);
    ini.writeBool(kFileIO, "ShowLoadingScreen", options.ui.ShowLoadingScreen);
    ini.writeBool(kFileIO, "LoadCompositionSize", false);
}

void writeGlobalsAndRest(IniProfile& ini, const GlobalState& globals, const Options& options)
{
    ini.writeBool(kGlobals, "BPMfollow", globals.BPMfollow);
    ini.writeBool(kGlobal, "AnimatedThumbs", options.ui.AnimatedThumbs);
    ini.writeBool(kGlobals, "DisableTAB", options.ui.DisableTAB);
    ini.writeFloat(kGlobals, "BPM", globals.BPM);
    ini.writeFloat(kGlobals, "JogAmount", globals.JogAmount);
    ini.writeBool(kGlobals, "Overlay", options.display.Overlay);
    ini.writeBool(kDisplay, "HDComposition", options.display.hdComposition);
    ini.writeBool(kGlobals, "MIDIKeyLetters", options.ui.MIDIKeyLetters);
    ini.writeString(
        kGlobals, "Locale", globals.keyLetters.layout() == KeyboardLayout::Azerty ? "fr" : "en");
    ini.writeBool(kGlobals, "CrossfadeAudio", globals.CrossfadeAudio);
    ini.writeBool(kGlobals, "CrossfadeVideo", globals.CrossfadeVideo);

    ini.writeString(kThumbnails, "Position",
        options.ui.thumbnails == ThumbnailPosition::Beginning ? "Beginning" : "Middle");
    ini.writeInteger(kAutoPatchLoad, "Interval", options.ui.AutoPatchInterval);
    ini.writeBool(kConsoleMode, "Startup", options.console.Startup);
    ini.writeInteger(kConsoleMode, "ConsolePlayTime", options.console.ConsolePlayTime);
    ini.writeInteger(kConsoleMode, "ConsolePostPlayTime", options.console.ConsolePostPlayTime);
    for (int channel = 1; channel <= 16; ++channel) {
        ini.writeBool(kMidiChannels, std::to_string(channel), channel == options.midi.channel);
    }
    // Rewritten whole, so that no stale entry follows the last one.
    ini.deleteSection(kClipHistory);
    for (std::size_t i = 0; i < globals.clipFolderHistory.size(); ++i) {
        ini.writeString(kClipHistory, std::to_string(i), globals.clipFolderHistory[i]);
    }
}

} // namespace

KeyboardLayout readKeyboardLayout(const IniProfile& ini)
{
    return sameWithoutCase(ini.readString(kGlobals, "Locale", "en"), "fr") ? KeyboardLayout::Azerty
                                                                           : KeyboardLayout::Qwerty;
}

void readSettings(
    const IniProfile& ini, const SettingsDefaults& defaults, GlobalState& globals, Options& options)
{
    readFiles(ini, defaults, globals, options);
    readMidi(ini, options.midi);
    readOsc(ini, options.osc);
    readStream(ini, options.stream);
    readCamera(ini, options.camera);
    readDisplay(ini, options.display);
    readSecondaryOutputKeys(ini, options.display);
    readPlayback(ini, globals);
    readGlobals(ini, globals, options.ui);
    readFileIO(ini, globals, options.ui);
    readRenderConsoleAndGrid(ini, defaults, options);
    readWindows(ini, options);
    globals.clipFolderHistory = readClipFolderHistory(ini);
}

void writeSettings(IniProfile& ini, const GlobalState& globals, const Options& options)
{
    writeFilesAndWindows(ini, globals, options);
    writeMidi(ini, globals, options.midi);
    writeOsc(ini, options.osc);
    writeStream(ini, options.stream);
    writeCamera(ini, options.camera);
    writePlaybackFilesRenderFileIO(ini, globals, options);
    writeGlobalsAndRest(ini, globals, options);
    writeSecondaryOutputKeys(ini, options.display);
}

SettingsFile::SettingsFile(fs::path folder)
    : m_path(std::move(folder) / kFileName)
{
}

SettingsFile::Loaded SettingsFile::load()
{
    std::error_code error;
    fs::create_directories(m_path.parent_path(), error);
    if (error) {
        m_readOnly = true;
        m_readOnlyReason = "Cannot create the settings folder " + m_path.parent_path().string()
            + ": " + error.message()
            + ". Oskel starts with the default settings and will not save them.";
        return Loaded { IniProfile(), m_readOnlyReason };
    }
    IniReadResult read = readIniFile(m_path);
    if (read.status == IniFileStatus::Unreadable) {
        m_readOnly = true;
        m_readOnlyReason
            = read.error + ". Oskel starts with the default settings and leaves the file as it is.";
        return Loaded { IniProfile(), m_readOnlyReason };
    }
    const std::size_t unreadable = read.profile.unreadableLines();
    if (unreadable > 0) {
        return Loaded { std::move(read.profile),
            "The settings file " + m_path.string() + " holds " + std::to_string(unreadable)
                + " line(s) that Oskel cannot read. Oskel keeps them as they are and, when it "
                  "saves its settings, keeps the file as it was in "
                + backupPath().string() + "." };
    }
    return Loaded { std::move(read.profile), std::nullopt };
}

std::filesystem::path SettingsFile::backupPath() const
{
    return m_path.string() + ".bak";
}

std::optional<std::string> SettingsFile::keepCopyOfUnreadable(const IniProfile& profile) const
{
    if (profile.unreadableLines() == 0) {
        return std::nullopt;
    }
    const std::string text = profile.text();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (const auto failure = writeFileSafely(backupPath(), { bytes, text.size() }, ".new")) {
        return "Cannot keep a copy of the settings file as " + backupPath().string() + ": "
            + std::system_category().message(failure->error);
    }
    return std::nullopt;
}

} // namespace oskel
