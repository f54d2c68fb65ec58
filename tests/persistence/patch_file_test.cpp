#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "persistence/patch_file.h"

namespace oskel {
namespace {

using Keys = std::vector<std::pair<std::string, std::string>>;
using Shape = std::vector<std::pair<std::string, Keys>>;

// Sections in file order, each with its keys and values in file order.
Shape shapeOf(const IniProfile& ini)
{
    Shape shape;
    std::istringstream lines(ini.text());
    for (std::string line; std::getline(lines, line);) {
        if (line.size() < 2 || line.front() != '[' || line.back() != ']') {
            continue;
        }
        const std::string section = line.substr(1, line.size() - 2);
        Keys keys;
        for (const std::string& key : ini.keys(section)) {
            keys.emplace_back(key, ini.readRaw(section, key).value_or("<missing>"));
        }
        shape.emplace_back(section, keys);
    }
    return shape;
}

Keys numberedKeys(int first, int last, const std::string& value)
{
    Keys keys;
    for (int key = first; key <= last; ++key) {
        keys.emplace_back(std::to_string(key), value);
    }
    return keys;
}

// What a save fills in for a clip freshly loaded into slot 1 of an otherwise empty set-up.
PatchContents oneClipPatch()
{
    PatchContents patch;
    patch.globals.trailsStrength = 200;
    patch.globals.ConstrainMovement = false;
    patch.globals.BPM = 127.5;
    patch.globals.BPMfollow = false;
    patch.globals.PCKeyNoteOff = false;
    patch.globals.CrossfadeAudio = true;
    patch.globals.CrossfadeVideo = true;
    for (std::optional<bool>* flag : { &patch.midi.NoteOff, &patch.midi.VelocityVolume,
             &patch.midi.VelocityOpacity, &patch.midi.PitchNotes, &patch.midi.KaossPad,
             &patch.midi.DisableBlackNotes, &patch.midi.DisablePitchAndMod,
             &patch.midi.MIDIguitairMode, &patch.midi.NewTriggerStopsClips }) {
        *flag = false;
    }
    patch.midi.UseCircbuf = true;
    patch.midi.controllers[7] = 74;
    for (std::size_t i = 0; i < patch.layerStack.size(); ++i) {
        patch.layerStack[i] = static_cast<std::int64_t>(i + 1);
    }
    for (PatchSlot& slot : patch.slots) {
        slot.inPoint = 0;
    }
    PatchSlot& clip = patch.slots[0];
    clip.loaded = true;
    clip.fileName = "/clips/beach.avi";
    clip.outPoint = 88200;
    clip.left = 0;
    clip.top = 0;
    clip.right = 384;
    clip.bottom = 288;
    clip.numberOfBeats = 4;
    clip.followBpm = false;
    return patch;
}

TEST(PatchFile, AOneClipPatchIsSavedInTheFilesOwnOrder)
{
    IniProfile ini;
    writePatch(ini, oneClipPatch());

    Keys controllers = numberedKeys(0, 40, "-1");
    controllers[7].second = "74";
    Keys fileNames = numberedKeys(1, 16, "");
    fileNames[0].second = "/clips/beach.avi";
    const Shape expected = {
        { "Version",
            { { "OKP", "Low1" }, { "Program", "3.0.1.14" }, { "OKPInPoint", "1" }, { "BPM", "3" },
                { "ProgramMain", "3" }, { "Type", "Release" } } },
        { "Globals",
            { { "Loop", "1" }, { "Layering", "1" }, { "IndividualMidiChannels", "0" },
                { "Trails", "0" }, { "trailsStrength", "200" }, { "PitchNotes", "0" },
                { "ConstrainMovement", "0" }, { "BPM", "127.5" }, { "BPMfollow", "0" },
                { "PCKeyNoteOff", "0" }, { "CrossfadeAudio", "1" }, { "CrossfadeVideo", "1" } } },
        { "MIDI",
            { { "NoteOff", "0" }, { "VelocityVolume", "0" }, { "VelocityOpacity", "0" },
                { "PitchNotes", "0" }, { "KaossPad", "0" }, { "DisableBlackNotes", "0" },
                { "DisablePitchAndMod", "0" }, { "UseCircbuf", "1" }, { "MIDIguitairMode", "0" },
                { "NewTriggerStopsClips", "0" } } },
        { "MIDIcontrollers", controllers },
        { "MIDIcontrollerInverts", numberedKeys(0, 40, "0") },
        { "OKLowDisplayArea", { { "Width", "384" }, { "Height", "288" } } },
        { "Filenames", fileNames },
        { "Speeds", { { "1", "44100" } } },
        { "Lefts", { { "1", "0" } } },
        { "Tops", { { "1", "0" } } },
        { "Rights", { { "1", "384" } } },
        { "Bottoms", { { "1", "288" } } },
        { "LumaKeyLevels", { { "1", "0" } } },
        { "LumaKeys", { { "1", "0" } } },
        { "InverseLuma", { { "1", "0" } } },
        { "LumaBlendLevels", { { "1", "0" } } },
        { "Blend", { { "1", "Normal" } } },
        { "AlphaLevels", { { "1", "0" } } },
        { "Alphas", { { "1", "0" } } },
        { "Volumes", { { "1", "0" } } },
        { "Balances", { { "1", "64" } } },
        { "Mutes", { { "1", "0" } } },
        { "InstallationModes", { { "1", "0" } } },
        { "DisableMIDIs", { { "1", "0" } } },
        { "Directions", { { "1", "1" } } },
        { "StencilEnableds", { { "1", "0" } } },
        { "StencilFilenames", { { "1", "" } } },
        { "ColourSwapModes", { { "1", "0" } } },
        { "BillBoards", { { "1", "0" } } },
        { "XRots", { { "1", "0" } } },
        { "YRots", { { "1", "0" } } },
        { "ZRots", { { "1", "0" } } },
        { "XRotSpeeds", { { "1", "0" } } },
        { "YRotSpeeds", { { "1", "0" } } },
        { "ZRotSpeeds", { { "1", "0" } } },
        { "HorzTiles", { { "1", "1" } } },
        { "VertTiles", { { "1", "1" } } },
        { "ArraySpacings", { { "1", "2" } } },
        { "Size3Ds", { { "1", "1" } } },
        { "NumbersOfBeats", { { "1", "4" } } },
        { "FollowBPMs", { { "1", "0" } } },
        { "SourceModes", { { "1", "smPlay" } } },
        { "SourceSystems", { { "1", "ssVFW" } } },
        { "OutPoints", { { "1", "88200" } } },
        { "Chops", { { "1", "0" } } },
        { "InPoints", numberedKeys(1, 16, "0") },
        { "LayerStack",
            { { "1", "1" }, { "2", "2" }, { "3", "3" }, { "4", "4" }, { "5", "5" }, { "6", "6" },
                { "7", "7" }, { "8", "8" }, { "9", "9" }, { "10", "10" }, { "11", "11" },
                { "12", "12" }, { "13", "13" }, { "14", "14" }, { "15", "15" }, { "16", "16" } } },
    };
    const Shape saved = shapeOf(ini);
    ASSERT_EQ(saved.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(saved[i].first, expected[i].first);
        EXPECT_EQ(saved[i].second, expected[i].second) << expected[i].first;
    }
}

TEST(PatchFile, AnEffectIsSavedAfterTheLookWithOnlyTheParametersInZeroToOne)
{
    PatchContents patch = oneClipPatch();
    PatchSlot& clip = patch.slots[0];
    clip.effectFileName = "/plugins/blur.so";
    clip.effectEnabled = true;
    clip.effectParameters
        = { 0.25, kEffectParameterNotSet, 1.0, 1.5, 0.0, -0.1, 0.5, std::nan("") };
    IniProfile ini;
    writePatch(ini, patch);

    const Shape saved = shapeOf(ini);
    std::size_t size3Ds = 0;
    while (size3Ds < saved.size() && saved[size3Ds].first != "Size3Ds") {
        ++size3Ds;
    }
    ASSERT_LT(size3Ds + 4, saved.size());
    EXPECT_EQ(
        saved[size3Ds + 1], (Shape::value_type { "FFfilenames", { { "1", "/plugins/blur.so" } } }));
    EXPECT_EQ(saved[size3Ds + 2], (Shape::value_type { "FFenables", { { "1", "1" } } }));
    EXPECT_EQ(saved[size3Ds + 3],
        (Shape::value_type {
            "FFparamsOnAVI1", { { "0", "0.25" }, { "2", "1" }, { "4", "0" }, { "6", "0.5" } } }));
    EXPECT_EQ(saved[size3Ds + 4].first, "NumbersOfBeats");
}

// --- every field, written and read back ------------------------------------------------------

using EffectParameters = std::array<double, kEffectParameterCount>;

template <typename Record>
using AnyMember = std::variant<bool Record::*, std::int64_t Record::*, double Record::*,
    std::string Record::*, std::optional<bool> Record::*, std::optional<std::int64_t> Record::*,
    std::optional<double> Record::*, EffectParameters Record::*>;

// How a flag is written.
struct Words {
    const char* whenTrue = "1";
    const char* whenFalse = "0";
};

// A field and the name it is stored under: the key in "Globals" or "MIDI", the section of a
// slot setting.
template <typename Record> struct Field {
    const char* name;
    AnyMember<Record> member;
    Words words {};
};

// A value of its own for each seed, different from the defaults for most seeds; flags take
// both values over consecutive seeds.
void makeDistinct(bool& value, int seed)
{
    value = seed % 2 == 0 ? !value : value;
}
void makeDistinct(std::int64_t& value, int seed)
{
    value = (seed % 3 == 0 ? -1 : 1) * (1000 + seed);
}
void makeDistinct(double& value, int seed)
{
    value = (seed % 3 == 0 ? -1 : 1) * (seed + 0.375);
}
void makeDistinct(std::string& value, int seed)
{
    value = "C:\\clips\\clip " + std::to_string(seed) + ".avi";
}
template <typename T> void makeDistinct(std::optional<T>& value, int seed)
{
    makeDistinct(value.emplace(), seed);
}
void makeDistinct(EffectParameters& values, int seed)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int k = seed + static_cast<int>(i);
        values[i] = k % 5 == 0 ? kEffectParameterNotSet : (k % 9) / 8.0;
    }
}

// The value stands in the file under that section and key, written as it should be.
void expectStored(const IniProfile& ini, const std::string& section, const std::string& key,
    bool value, const Words& words)
{
    EXPECT_EQ(ini.readRaw(section, key), value ? words.whenTrue : words.whenFalse)
        << section << '/' << key;
}
void expectStored(const IniProfile& ini, const std::string& section, const std::string& key,
    std::int64_t value, const Words&)
{
    EXPECT_EQ(ini.readRaw(section, key), std::to_string(value)) << section << '/' << key;
}
void expectStored(const IniProfile& ini, const std::string& section, const std::string& key,
    double value, const Words&)
{
    EXPECT_EQ(ini.readFloat(section, key, std::nan("")), value) << section << '/' << key;
}
void expectStored(const IniProfile& ini, const std::string& section, const std::string& key,
    const std::string& value, const Words&)
{
    EXPECT_EQ(ini.readRaw(section, key), value) << section << '/' << key;
}
template <typename T>
void expectStored(const IniProfile& ini, const std::string& section, const std::string& key,
    const std::optional<T>& value, const Words& words)
{
    ASSERT_TRUE(value.has_value());
    expectStored(ini, section, key, *value, words);
}
// The parameters have a section per slot, a key per parameter.
void expectStored(const IniProfile& ini, const std::string& section, const std::string& key,
    const EffectParameters& values, const Words& words)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string parameter = std::to_string(i);
        if (values[i] >= 0.0 && values[i] <= 1.0) {
            expectStored(ini, section + key, parameter, values[i], words);
        } else {
            EXPECT_FALSE(ini.hasKey(section + key, parameter)) << section + key << '/' << i;
        }
    }
}

template <typename Record, std::size_t N>
void fill(Record& record, const Field<Record> (&fields)[N], int seed)
{
    for (std::size_t i = 0; i < N; ++i) {
        std::visit(
            [&](auto member) { makeDistinct(record.*member, seed + 17 * static_cast<int>(i)); },
            fields[i].member);
    }
}

// Each field under its name in `ini`: the key in `section`, or with no section the section
// of that name, keyed by `key`.
template <typename Record, std::size_t N>
void expectStoredFields(const IniProfile& ini, const std::string& section, const std::string& key,
    const Record& record, const Field<Record> (&fields)[N])
{
    for (const Field<Record>& field : fields) {
        std::visit(
            [&](auto member) {
                expectStored(ini, section.empty() ? field.name : section,
                    section.empty() ? key : field.name, record.*member, field.words);
            },
            field.member);
    }
}

template <typename Record, std::size_t N>
void expectSame(const Record& read, const Record& written, const Field<Record> (&fields)[N],
    const std::string& where)
{
    for (const Field<Record>& field : fields) {
        std::visit(
            [&](auto member) { EXPECT_EQ(read.*member, written.*member) << where << field.name; },
            field.member);
    }
}

// Every field a patch reads, with its stored name, listed apart from the reader and writer.
constexpr Field<PatchGlobals> kGlobalsFields[] = {
    { "Loop", &PatchGlobals::Loop },
    { "Layering", &PatchGlobals::Layering },
    { "IndividualMidiChannels", &PatchGlobals::IndividualMidiChannels },
    { "Trails", &PatchGlobals::Trails },
    { "trailsStrength", &PatchGlobals::trailsStrength },
    { "PitchNotes", &PatchGlobals::PitchNotes },
    { "ConstrainMovement", &PatchGlobals::ConstrainMovement },
    { "BPM", &PatchGlobals::BPM },
    { "BPMfollow", &PatchGlobals::BPMfollow },
    { "PCKeyNoteOff", &PatchGlobals::PCKeyNoteOff },
    { "CrossfadeAudio", &PatchGlobals::CrossfadeAudio },
    { "CrossfadeVideo", &PatchGlobals::CrossfadeVideo },
};

constexpr Field<PatchMidi> kMidiFields[] = {
    { "NoteOff", &PatchMidi::NoteOff },
    { "VelocityVolume", &PatchMidi::VelocityVolume },
    { "VelocityOpacity", &PatchMidi::VelocityOpacity },
    { "PitchNotes", &PatchMidi::PitchNotes },
    { "KaossPad", &PatchMidi::KaossPad },
    { "DisableBlackNotes", &PatchMidi::DisableBlackNotes },
    { "DisablePitchAndMod", &PatchMidi::DisablePitchAndMod },
    { "UseCircbuf", &PatchMidi::UseCircbuf },
    { "MIDIguitairMode", &PatchMidi::MIDIguitairMode },
    { "NewTriggerStopsClips", &PatchMidi::NewTriggerStopsClips },
};

constexpr Field<PatchSlot> kSlotFields[] = {
    { "Filenames", &PatchSlot::fileName },
    { "InPoints", &PatchSlot::inPoint },
    { "OutPoints", &PatchSlot::outPoint },
    { "Chops", &PatchSlot::chop },
    { "Speeds", &PatchSlot::speed },
    { "Lefts", &PatchSlot::left },
    { "Tops", &PatchSlot::top },
    { "Rights", &PatchSlot::right },
    { "Bottoms", &PatchSlot::bottom },
    { "LumaKeyLevels", &PatchSlot::lumaKeyLevel },
    { "InverseLuma", &PatchSlot::inverseLuma },
    { "LumaBlendLevels", &PatchSlot::lumaBlendLevel },
    { "Blend", &PatchSlot::burn, { "Burn", "Normal" } },
    { "AlphaLevels", &PatchSlot::alphaLevel },
    { "Alphas", &PatchSlot::alpha },
    { "Volumes", &PatchSlot::volume },
    { "Balances", &PatchSlot::balance },
    { "Mutes", &PatchSlot::mute },
    { "InstallationModes", &PatchSlot::installationMode },
    { "DisableMIDIs", &PatchSlot::disableMidi },
    { "Directions", &PatchSlot::direction },
    { "StencilEnableds", &PatchSlot::stencilEnabled },
    { "StencilFilenames", &PatchSlot::stencilFileName },
    { "ColourSwapModes", &PatchSlot::colourSwapMode },
    { "BillBoards", &PatchSlot::billBoard },
    { "XRots", &PatchSlot::xRot },
    { "YRots", &PatchSlot::yRot },
    { "ZRots", &PatchSlot::zRot },
    { "XRotSpeeds", &PatchSlot::xRotSpeed },
    { "YRotSpeeds", &PatchSlot::yRotSpeed },
    { "ZRotSpeeds", &PatchSlot::zRotSpeed },
    { "HorzTiles", &PatchSlot::horzTiles },
    { "VertTiles", &PatchSlot::vertTiles },
    { "ArraySpacings", &PatchSlot::arraySpacing },
    { "Size3Ds", &PatchSlot::size3D },
    { "FFfilenames", &PatchSlot::effectFileName },
    { "FFenables", &PatchSlot::effectEnabled },
    { "FFparamsOnAVI", &PatchSlot::effectParameters },
    { "NumbersOfBeats", &PatchSlot::numberOfBeats },
    { "FollowBPMs", &PatchSlot::followBpm },
    { "SourceSystems", &PatchSlot::sourceSystemStreaming, { "ssDS", "ssVFW" } },
};

TEST(PatchFile, EveryFieldOfSixteenLoadedSlotsIsStoredUnderItsNameAndReadsBack)
{
    // Two rounds, so that every flag is saved both set and clear.
    for (int round = 0; round < 2; ++round) {
        PatchContents patch;
        fill(patch.globals, kGlobalsFields, round);
        fill(patch.midi, kMidiFields, round);
        for (std::size_t i = 0; i < kMidiParameterCount; ++i) {
            patch.midi.controllers[i] = static_cast<std::int32_t>((i * 3 + round) % 129) - 1;
            patch.midi.controllerInverts[i] = (i + round) % 2 == 0;
        }
        for (std::size_t i = 0; i < patch.slots.size(); ++i) {
            PatchSlot& slot = patch.slots[i];
            slot.loaded = true;
            slot.sourceModePlay = i % 2 == 0;
            fill(slot, kSlotFields, round + 1001 * static_cast<int>(i + 1));
            patch.layerStack[i] = static_cast<std::int64_t>(16 - i);
        }
        IniProfile ini;
        writePatch(ini, patch);
        const PatchContents read = readPatch(IniProfile(ini.text()));

        const std::string where = "round " + std::to_string(round) + ": ";
        EXPECT_TRUE(read.current);
        expectStoredFields(ini, "Globals", "", patch.globals, kGlobalsFields);
        expectSame(read.globals, patch.globals, kGlobalsFields, where);
        expectStoredFields(ini, "MIDI", "", patch.midi, kMidiFields);
        expectSame(read.midi, patch.midi, kMidiFields, where);
        EXPECT_EQ(read.midi.controllers, patch.midi.controllers);
        EXPECT_EQ(read.midi.controllerInverts, patch.midi.controllerInverts);
        EXPECT_EQ(read.layerStack, patch.layerStack);
        for (std::size_t i = 0; i < patch.slots.size(); ++i) {
            const std::string key = std::to_string(i + 1);
            const std::string slot = where + "slot " + key + ": ";
            expectStoredFields(ini, "", key, patch.slots[i], kSlotFields);
            expectSame(read.slots[i], patch.slots[i], kSlotFields, slot);
            // Written for other readers only.
            EXPECT_EQ(ini.readBool("LumaKeys", key, false), patch.slots[i].lumaKeyLevel > 0)
                << slot;
            EXPECT_EQ(ini.readString("SourceModes", key, ""), i % 2 == 0 ? "smPlay" : "smRA")
                << slot;
        }
    }
}

TEST(PatchFile, NamesReadBackExactlyWhateverTheirBlanksAndQuotes)
{
    for (const std::string name : { "C:\\clips\\a b.avi", " leading.avi", "trailing.avi ",
             "\"quoted.avi\"", "\"", "\"half.avi", "a=b;c[d].avi",
             "\xc3\xbcnic\xc3\xb6"
             "de.avi",
             "" }) {
        PatchContents patch;
        PatchSlot& slot = patch.slots[3];
        slot.loaded = true;
        slot.fileName = name;
        slot.stencilFileName = name;
        slot.effectFileName = name.empty() ? "x.so" : name;
        IniProfile ini;
        writePatch(ini, patch);
        const PatchSlot read = readPatch(IniProfile(ini.text())).slots[3];
        EXPECT_EQ(read.fileName, name);
        EXPECT_EQ(read.stencilFileName, name);
        EXPECT_EQ(read.effectFileName, slot.effectFileName);
    }
}

// --- saving over an older file ---------------------------------------------------------------

TEST(PatchFile, SavingOverAnOlderPatchKeepsWhatItDoesNotWriteAndDropsPans)
{
    IniProfile ini("; my set\n[Pans]\n1=-300\n[SourceModes]\n5=smRA\n[Filenames]\n5=/old.avi\n"
                   "[Lefts]\n1=17\n[FFparamsOnAVI1]\n3=0.75\n[Notes]\nlighting=blue\n");
    PatchContents patch = oneClipPatch();
    patch.slots[0].left.reset();
    patch.slots[0].effectFileName = "/plugins/blur.so";
    writePatch(ini, patch);

    EXPECT_FALSE(ini.hasSection("Pans"));
    EXPECT_EQ(ini.readRaw("SourceModes", "5"), "smRA") << "slot 5 is now empty";
    EXPECT_EQ(ini.readRaw("Filenames", "5"), "");
    EXPECT_EQ(ini.readRaw("Lefts", "1"), "17") << "a value the save does not know stays";
    EXPECT_EQ(ini.readRaw("FFparamsOnAVI1", "3"), "0.75") << "a parameter not set stays";
    EXPECT_EQ(ini.readRaw("Notes", "lighting"), "blue");
    EXPECT_EQ(ini.text().rfind("; my set\n", 0), 0u);
    EXPECT_EQ(ini.readRaw("SourceModes", "1"), "smPlay");
}

// --- reading ---------------------------------------------------------------------------------

TEST(PatchFile, OnlyTheFormatMarkerMakesAPatchCurrent)
{
    struct Case {
        const char* text;
        bool current;
    };
    for (const Case& c : std::vector<Case> {
             { "", false },
             { "[Version]\nProgram=3.0.1.14\n[Speeds]\n1=22050\n", false },
             { "[Version]\nOKP=Low2\n[Speeds]\n1=22050\n", false },
             { "[Version]\nOKP=Low1\n[Speeds]\n1=22050\n", true },
             { "[version]\r\nokp = \"Low1\"\r\n[speeds]\r\n1=22050\r\n", true },
         }) {
        const PatchContents patch = readPatch(IniProfile(c.text));
        EXPECT_EQ(patch.current, c.current) << c.text;
        if (*c.text != '\0') {
            EXPECT_EQ(patch.slots[0].speed, 22050) << "an old patch's keys are read all the same";
        }
    }
}

TEST(PatchFile, MissingKeysLeaveTheLoadersValuesEmptyAndTheLayerStackInSlotOrder)
{
    const PatchContents patch = readPatch(IniProfile("[Filenames]\n2=/clips/beach.avi\n"));
    EXPECT_EQ(patch.slots[1].fileName, "/clips/beach.avi");
    EXPECT_FALSE(patch.slots[1].inPoint);
    EXPECT_FALSE(patch.slots[1].outPoint);
    EXPECT_FALSE(patch.slots[1].left);
    EXPECT_FALSE(patch.slots[1].numberOfBeats);
    EXPECT_FALSE(patch.slots[1].followBpm);
    EXPECT_FALSE(patch.globals.BPM);
    EXPECT_FALSE(patch.globals.trailsStrength);
    EXPECT_FALSE(patch.midi.NoteOff);
    EXPECT_EQ(patch.areaWidth, 384);
    EXPECT_EQ(patch.areaHeight, 288);
    for (std::size_t i = 0; i < patch.layerStack.size(); ++i) {
        EXPECT_EQ(patch.layerStack[i], static_cast<std::int64_t>(i + 1));
    }
}

TEST(PatchFile, FloatsReadWithAPointOrAComma)
{
    const PatchContents patch = readPatch(IniProfile(
        "[Globals]\nBPM=128,25\n[XRots]\n1=2,5\n[ArraySpacings]\n1=-0,75\n[FFparamsOnAVI1]\n0=0,5\n"
        "[Size3Ds]\n1=1.5\n"));
    EXPECT_EQ(patch.globals.BPM, 128.25);
    EXPECT_EQ(patch.slots[0].xRot, 2.5);
    EXPECT_EQ(patch.slots[0].arraySpacing, -0.75);
    EXPECT_EQ(patch.slots[0].effectParameters[0], 0.5);
    EXPECT_EQ(patch.slots[0].size3D, 1.5);
}

TEST(PatchFile, HostileValuesComeThroughAsStoredOrAsTheDefault)
{
    const PatchContents patch = readPatch(
        IniProfile("[Lefts]\n1=1000000000\n[Rights]\n1=-1000000000000000000\n[Tops]\n1=1e9\n"
                   "[XRots]\n1=nan\n[YRots]\n1=1e400\n[Size3Ds]\n1=-3\n[HorzTiles]\n1=10000\n"
                   "[VertTiles]\n1=-10000\n[Speeds]\n1=0\n2=-44100\n3=fast\n[Balances]\n1="
                   "99999999999999999999\n"
                   "[Directions]\n1=$FF\n[InPoints]\n1=-5\n[OutPoints]\n1=$7FFFFFFFFFFFFFFF\n"
                   "[Blend]\n1=burn\n[SourceSystems]\n1=ssds\n[LayerStack]\n1=-3\n2=99\n3=x\n"
                   "[MIDIcontrollers]\n0=128\n1=-2\n2=127\n[FFparamsOnAVI1]\n0=7\n1=inf\n"));
    const PatchSlot& slot = patch.slots[0];
    EXPECT_EQ(slot.left, 1000000000);
    EXPECT_EQ(slot.right, -1000000000000000000);
    EXPECT_FALSE(slot.top) << "not an integer";
    EXPECT_EQ(slot.xRot, 0.0);
    EXPECT_EQ(slot.yRot, 0.0);
    EXPECT_EQ(slot.size3D, -3.0);
    EXPECT_EQ(slot.horzTiles, 10000);
    EXPECT_EQ(slot.vertTiles, -10000);
    EXPECT_EQ(slot.speed, 0);
    EXPECT_EQ(patch.slots[1].speed, -44100);
    EXPECT_EQ(patch.slots[2].speed, 44100);
    EXPECT_EQ(slot.balance, 64);
    EXPECT_EQ(slot.direction, 255);
    EXPECT_EQ(slot.inPoint, -5);
    EXPECT_EQ(slot.outPoint, std::numeric_limits<std::int64_t>::max());
    EXPECT_FALSE(slot.burn) << "only \"Burn\" burns";
    EXPECT_FALSE(slot.sourceSystemStreaming) << "only \"ssDS\" streams";
    EXPECT_EQ(patch.layerStack[0], -3);
    EXPECT_EQ(patch.layerStack[1], 99);
    EXPECT_EQ(patch.layerStack[2], 3);
    EXPECT_EQ(patch.midi.controllers[0], -1) << "controller numbers stop at 127";
    EXPECT_EQ(patch.midi.controllers[1], -1);
    EXPECT_EQ(patch.midi.controllers[2], 127);
    EXPECT_EQ(slot.effectParameters[0], 7.0) << "the loader passes on only 0..1";
    EXPECT_EQ(slot.effectParameters[1], kEffectParameterNotSet);
}

TEST(PatchFile, TheStoredAreaIsAtLeastOnePixelAndNoLargerThanAnyDisplay)
{
    struct Case {
        const char* width;
        std::int64_t read;
    };
    for (const Case& c : std::vector<Case> { { "768", 768 }, { "$300", 768 }, { "1", 1 },
             { "65536", 65536 }, { "0", 384 }, { "-5", 384 }, { "65537", 384 },
             { "9223372036854775807", 384 }, { "1e3", 384 }, { "", 384 } }) {
        const PatchContents patch = readPatch(IniProfile(
            std::string("[OKLowDisplayArea]\nWidth=") + c.width + "\nHeight=" + c.width));
        EXPECT_EQ(patch.areaWidth, c.read) << c.width;
        EXPECT_EQ(patch.areaHeight, c.read == 384 ? 288 : c.read) << c.width;
    }
}

// --- the layer stack -------------------------------------------------------------------------

TEST(PatchLayerStack, RepeatsAndStrangersGiveWayToTheMissingSlotsInOrder)
{
    using Stored = std::array<std::int64_t, kSlotCount>;
    using Order = std::array<int, kSlotCount>;
    struct Case {
        Stored stored;
        Order order;
        bool repaired;
    };
    for (const Case& c : std::vector<Case> {
             { { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 },
                 { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 }, false },
             { { 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1 },
                 { 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1 }, false },
             { { 3, 3, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 },
                 { 3, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 }, true },
             { { 0, 17, -1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 2 },
                 { 1, 3, 16, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 2 }, true },
             { { 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9 },
                 { 9, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16 }, true },
             { { std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(),
                   4294967297, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 },
                 { 2, 3, 4, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 }, true },
         }) {
        const RepairedLayerStack repaired = repairLayerStack(c.stored);
        EXPECT_EQ(repaired.order, c.order);
        EXPECT_EQ(repaired.repaired, c.repaired);
    }
}

// --- silent clips ----------------------------------------------------------------------------

TEST(PatchPoints, ASilentClipStoresItsPointsInBytesOfItsOwnSoundStream)
{
    constexpr std::int64_t kLength = 88200;
    constexpr std::int64_t kStream = 2 * kLength;
    const StoredPoints stored = pointsToStore(8820, kLength, kLength, kStream);
    EXPECT_EQ(stored.inPoint, 17640);
    EXPECT_EQ(stored.outPoint, kStream);
    const StoredPoints loaded = pointsFromStore(stored.inPoint, stored.outPoint, kLength, kStream);
    EXPECT_EQ(loaded.inPoint, 8820);
    EXPECT_EQ(loaded.outPoint, kLength);
}

TEST(PatchPoints, ConversionRules)
{
    using Opt = std::optional<std::int64_t>;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    struct ToStore {
        std::int64_t in, out, length, stream;
        StoredPoints expected;
    };
    for (const ToStore& c : std::vector<ToStore> {
             { 100, 200, 1000, 0, { 100, 200 } }, // no sound stream: r = 1
             { 0, 999, 1000, 3000, { 0, 2997 } },
             { 1, 3, 2, 3, { 2, 5 } }, // halves round away from zero
             { -1, 1, 3, 1, { 0, 0 } },
             { 5, 7, 0, 100, { 5, 7 } }, // no length: nothing to scale by
             { 5, 7, -3, 100, { 5, 7 } },
             { kMax, kMin, 1, kMax, { kMax, kMin } },
             { 1000000000000000000, 3, 3, 1000000000000000000, { kMax, 1000000000000000000 } },
         }) {
        const StoredPoints stored = pointsToStore(c.in, c.out, c.length, c.stream);
        EXPECT_EQ(stored.inPoint, c.expected.inPoint) << c.in << " " << c.length << " " << c.stream;
        EXPECT_EQ(stored.outPoint, c.expected.outPoint)
            << c.out << " " << c.length << " " << c.stream;
    }
    struct FromStore {
        Opt in, out;
        std::int64_t length, stream;
        StoredPoints expected;
    };
    for (const FromStore& c : std::vector<FromStore> {
             { std::nullopt, std::nullopt, 1000, 3000, { 0, 1000 } },
             { 3000, 1500, 1000, 3000, { 1000, 500 } },
             { -30, 3001, 1000, 3000, { -30, 1000 } }, // a negative in point is left to the loader
             { 1, 2, 1000, 3000, { 0, 1 } },
             { 7, std::nullopt, 1000, 0, { 7, 1000 } }, // no stream: as stored
             { 7, 9, 0, 3000, { 7, 9 } },
             { kMax, kMin, kMax, 1, { kMax, kMin } },
             { kMax, kMax, 1, kMax, { 1, 1 } },
         }) {
        const StoredPoints loaded = pointsFromStore(c.in, c.out, c.length, c.stream);
        EXPECT_EQ(loaded.inPoint, c.expected.inPoint) << c.length << " " << c.stream;
        EXPECT_EQ(loaded.outPoint, c.expected.outPoint) << c.length << " " << c.stream;
    }
}

// --- the MIDI set-up -------------------------------------------------------------------------

class PatchMidiTest : public ::testing::Test {
protected:
    PatchMidiTest()
    {
        current.NoteOff = true;
        current.PitchNotes = true;
        current.VelocityOpacity = true;
        current.DisableBlackNotes = true;
        current.DisablePitchAndMod = true;
        current.KaossPad = true;
        current.IndividualChannels = true;
        current.MIDIguitairMode = true;
        current.UseCircbuf = false;
        current.VelocityVolume = true;
        current.InputDevice = 3;
        current.OKPloadMIDIconfig = true;
        current.controllers[0] = 10;
    }
    MidiOptions current;
    PatchGlobals globals;
    PatchMidi midi;
};

TEST_F(PatchMidiTest, WithNothingStoredSomeOptionsStayAndOthersTurnOff)
{
    const MidiOptions result = applyPatchMidi(current, globals, midi, false);
    EXPECT_TRUE(result.NoteOff);
    EXPECT_TRUE(result.VelocityOpacity);
    EXPECT_TRUE(result.KaossPad);
    EXPECT_TRUE(result.VelocityVolume);
    EXPECT_FALSE(result.UseCircbuf);
    EXPECT_FALSE(result.DisableBlackNotes);
    EXPECT_FALSE(result.DisablePitchAndMod);
    EXPECT_FALSE(result.MIDIguitairMode);
    EXPECT_FALSE(result.IndividualChannels) << "the globals' default";
    EXPECT_FALSE(result.PitchNotes) << "the globals' default";
    EXPECT_EQ(result.controllers[0], -1) << "the patch's assignments replace the current ones";
    EXPECT_EQ(result.InputDevice, 3);
    EXPECT_TRUE(result.OKPloadMIDIconfig);
}

TEST_F(PatchMidiTest, StoredValuesWinAndTheGlobalPitchNotesDecides)
{
    midi.NoteOff = false;
    midi.VelocityOpacity = false;
    midi.KaossPad = false;
    midi.UseCircbuf = true;
    midi.DisableBlackNotes = true;
    midi.DisablePitchAndMod = true;
    midi.MIDIguitairMode = true;
    midi.PitchNotes = false;
    midi.controllers[40] = 7;
    midi.controllerInverts[40] = true;
    globals.PitchNotes = true;
    globals.IndividualMidiChannels = true;
    MidiOptions result = applyPatchMidi(current, globals, midi, false);
    EXPECT_FALSE(result.NoteOff);
    EXPECT_FALSE(result.VelocityOpacity);
    EXPECT_FALSE(result.KaossPad);
    EXPECT_TRUE(result.UseCircbuf);
    EXPECT_TRUE(result.DisableBlackNotes);
    EXPECT_TRUE(result.DisablePitchAndMod);
    EXPECT_TRUE(result.MIDIguitairMode);
    EXPECT_TRUE(result.PitchNotes);
    EXPECT_TRUE(result.IndividualChannels);
    EXPECT_EQ(result.controllers[40], 7);
    EXPECT_TRUE(result.controllerInverts[40]);

    midi.PitchNotes = true;
    globals.PitchNotes = false;
    EXPECT_FALSE(applyPatchMidi(current, globals, midi, false).PitchNotes);
}

TEST_F(PatchMidiTest, VelocityVolumeFallsBackOnTheOlderVelocity)
{
    struct Case {
        std::optional<bool> velocityVolume;
        std::optional<bool> velocity;
        bool current;
        bool result;
    };
    for (const Case& c : std::vector<Case> {
             { std::nullopt, std::nullopt, true, true },
             { std::nullopt, false, true, false },
             { std::nullopt, true, false, true },
             { false, true, true, false },
             { true, false, false, true },
         }) {
        midi.VelocityVolume = c.velocityVolume;
        midi.Velocity = c.velocity;
        current.VelocityVolume = c.current;
        EXPECT_EQ(applyPatchMidi(current, globals, midi, false).VelocityVolume, c.result);
    }
}

TEST_F(PatchMidiTest, AProgramChangeKeepsTheInputBufferOn)
{
    midi.UseCircbuf = false;
    EXPECT_TRUE(applyPatchMidi(current, globals, midi, true).UseCircbuf);
    EXPECT_FALSE(applyPatchMidi(current, globals, midi, false).UseCircbuf);
}

TEST(PatchFile, TheOlderPitchnotesAndVelocityKeysAreRead)
{
    const PatchContents patch
        = readPatch(IniProfile("[MIDI]\nPitchnotes=1\nVelocity=1\n[Globals]\nPitchNotes=0\n"));
    EXPECT_EQ(patch.midi.PitchNotes, true);
    EXPECT_EQ(patch.midi.Velocity, true);
    EXPECT_FALSE(patch.midi.VelocityVolume);
    EXPECT_FALSE(patch.globals.PitchNotes);
}

} // namespace
} // namespace oskel
