#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "persistence/ini_profile.h"
#include "persistence/patch_file.h"

// The sections and keys of a patch, in the order a save writes them, shared by the reader and
// the writer so that the two cannot drift apart.
namespace oskel::detail {

inline constexpr std::string_view kVersionSection = "Version";
inline constexpr std::string_view kGlobalsSection = "Globals";
inline constexpr std::string_view kMidiSection = "MIDI";
inline constexpr std::string_view kAreaSection = "OKLowDisplayArea";
inline constexpr std::string_view kFileNamesSection = "Filenames";
inline constexpr std::string_view kInPointsSection = "InPoints";
inline constexpr std::string_view kEffectFileSection = "FFfilenames";
inline constexpr std::string_view kEffectEnabledSection = "FFenables";
inline constexpr std::string_view kEffectParametersSection = "FFparamsOnAVI"; // + slot number
inline constexpr std::string_view kLayerStackSection = "LayerStack";
inline constexpr std::string_view kObsoletePansSection = "Pans";
// Read from older patches only: the default of "VelocityVolume".
inline constexpr std::string_view kOldVelocityKey = "Velocity";

// One stored value: a member of the record it belongs to.
template <typename Record>
using PatchMember = std::variant<bool Record::*, std::int64_t Record::*, double Record::*,
    std::string Record::*, std::optional<bool> Record::*, std::optional<std::int64_t> Record::*,
    std::optional<double> Record::*>;

template <typename Record> struct NamedMember {
    std::string_view name;
    PatchMember<Record> member;
};

inline constexpr NamedMember<PatchGlobals> kGlobalKeys[] = {
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

// Names match without regard to case, so the older "Pitchnotes" is this "PitchNotes": one
// key, which the loader reads and then lets "Globals" "PitchNotes" override.
inline constexpr NamedMember<PatchMidi> kMidiKeys[] = {
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

// A flag stored as one of two words; anything but `whenTrue` reads as false.
struct SlotChoice {
    bool PatchSlot::*member;
    std::string_view whenTrue;
    std::string_view whenFalse;
};

// A value that is written for other readers of the file but never read back.
struct SlotWrittenOnly {
    std::string_view (*text)(const PatchSlot& slot);
};

using SlotValue = std::variant<bool PatchSlot::*, std::int64_t PatchSlot::*, double PatchSlot::*,
    std::string PatchSlot::*, std::optional<bool> PatchSlot::*,
    std::optional<std::int64_t> PatchSlot::*, SlotChoice, SlotWrittenOnly>;

// A section holding one setting of every slot, keyed by slot number.
struct SlotSection {
    std::string_view name;
    SlotValue value;
};

inline std::string_view lumaKeyText(const PatchSlot& slot)
{
    return slot.lumaKeyLevel > 0 ? "1" : "0";
}

inline std::string_view sourceModeText(const PatchSlot& slot)
{
    return slot.sourceModePlay ? "smPlay" : "smRA";
}

// A loaded slot's settings before its effect.
inline constexpr SlotSection kSlotSettings[] = {
    { "Speeds", &PatchSlot::speed },
    { "Lefts", &PatchSlot::left },
    { "Tops", &PatchSlot::top },
    { "Rights", &PatchSlot::right },
    { "Bottoms", &PatchSlot::bottom },
    { "LumaKeyLevels", &PatchSlot::lumaKeyLevel },
    { "LumaKeys", SlotWrittenOnly { lumaKeyText } },
    { "InverseLuma", &PatchSlot::inverseLuma },
    { "LumaBlendLevels", &PatchSlot::lumaBlendLevel },
    { "Blend", SlotChoice { &PatchSlot::burn, "Burn", "Normal" } },
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
};

// A loaded slot's settings after its effect.
inline constexpr SlotSection kSlotTail[] = {
    { "NumbersOfBeats", &PatchSlot::numberOfBeats },
    { "FollowBPMs", &PatchSlot::followBpm },
    { "SourceModes", SlotWrittenOnly { sourceModeText } },
    { "SourceSystems", SlotChoice { &PatchSlot::sourceSystemStreaming, "ssDS", "ssVFW" } },
    { "OutPoints", &PatchSlot::outPoint },
    { "Chops", &PatchSlot::chop },
};

// Values as a patch stores them: a missing key or one that does not parse leaves `value` as
// it is, or empty for an optional.
void readValue(const IniProfile& ini, std::string_view section, std::string_view key, bool& value);
void readValue(
    const IniProfile& ini, std::string_view section, std::string_view key, std::int64_t& value);
void readValue(
    const IniProfile& ini, std::string_view section, std::string_view key, double& value);
void readValue(
    const IniProfile& ini, std::string_view section, std::string_view key, std::string& value);
void readValue(const IniProfile& ini, std::string_view section, std::string_view key,
    std::optional<bool>& value);
void readValue(const IniProfile& ini, std::string_view section, std::string_view key,
    std::optional<std::int64_t>& value);
void readValue(const IniProfile& ini, std::string_view section, std::string_view key,
    std::optional<double>& value);

// An empty optional writes nothing. Strings that would not read back as they are (blanks or
// a pair of double quotes around them) are written in double quotes.
void writeValue(IniProfile& ini, std::string_view section, std::string_view key, bool value);
void writeValue(
    IniProfile& ini, std::string_view section, std::string_view key, std::int64_t value);
void writeValue(IniProfile& ini, std::string_view section, std::string_view key, double value);
void writeValue(
    IniProfile& ini, std::string_view section, std::string_view key, const std::string& value);
template <typename T>
void writeValue(
    IniProfile& ini, std::string_view section, std::string_view key, const std::optional<T>& value)
{
    if (value) {
        writeValue(ini, section, key, *value);
    }
}

std::string slotKey(std::size_t slotIndex);
std::string effectParametersSection(std::size_t slotIndex);

} // namespace oskel::detail
