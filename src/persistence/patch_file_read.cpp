#include <cstddef>
#include <string>
#include <variant>

#include "persistence/midi_assignments.h"
#include "persistence/patch_file.h"
#include "persistence/patch_keys.h"

namespace oskel {

namespace {

using namespace detail;

// No display is this large: such a side is damage, not a coordinate space, and would turn
// every stored rectangle into a dot.
constexpr std::int64_t kMaxAreaSide = 1 << 16;

template <typename Record, std::size_t N>
void readNamed(const IniProfile& ini, std::string_view section,
    const NamedMember<Record> (&keys)[N], Record& record)
{
    for (const NamedMember<Record>& key : keys) {
        std::visit(
            [&](auto member) { readValue(ini, section, key.name, record.*member); }, key.member);
    }
}

template <typename T>
void readSlotValue(const IniProfile& ini, std::string_view section, const std::string& key,
    PatchSlot& slot, T PatchSlot::*member)
{
    readValue(ini, section, key, slot.*member);
}

void readSlotValue(const IniProfile& ini, std::string_view section, const std::string& key,
    PatchSlot& slot, const SlotChoice& choice)
{
    const auto word = ini.readRaw(section, key);
    slot.*choice.member = word.has_value() ? *word == choice.whenTrue : slot.*choice.member;
}

void readSlotValue(
    const IniProfile&, std::string_view, const std::string&, PatchSlot&, const SlotWrittenOnly&)
{
}

template <std::size_t N>
void readSlotSections(const IniProfile& ini, const SlotSection (&sections)[N],
    const std::string& key, PatchSlot& slot)
{
    for (const SlotSection& section : sections) {
        std::visit([&](const auto& value) { readSlotValue(ini, section.name, key, slot, value); },
            section.value);
    }
}

void readEffect(const IniProfile& ini, std::size_t slotIndex, PatchSlot& slot)
{
    const std::string key = slotKey(slotIndex);
    readValue(ini, kEffectFileSection, key, slot.effectFileName);
    readValue(ini, kEffectEnabledSection, key, slot.effectEnabled);
    const std::string parameters = effectParametersSection(slotIndex);
    for (std::size_t i = 0; i < slot.effectParameters.size(); ++i) {
        readValue(ini, parameters, std::to_string(i), slot.effectParameters[i]);
    }
}

PatchSlot readSlot(const IniProfile& ini, std::size_t slotIndex)
{
    PatchSlot slot;
    const std::string key = slotKey(slotIndex);
    readValue(ini, kFileNamesSection, key, slot.fileName);
    readValue(ini, kInPointsSection, key, slot.inPoint);
    readSlotSections(ini, kSlotSettings, key, slot);
    readEffect(ini, slotIndex, slot);
    readSlotSections(ini, kSlotTail, key, slot);
    return slot;
}

std::int64_t readAreaSide(const IniProfile& ini, std::string_view key, std::int64_t defaultSide)
{
    const std::int64_t side = ini.readInteger(kAreaSection, key, defaultSide);
    return side >= 1 && side <= kMaxAreaSide ? side : defaultSide;
}

void readMidi(const IniProfile& ini, PatchMidi& midi)
{
    readNamed(ini, kMidiSection, kMidiKeys, midi);
    readValue(ini, kMidiSection, kOldVelocityKey, midi.Velocity);
    readMidiAssignments(ini, midi.controllers, midi.controllerInverts);
}

} // namespace

PatchContents readPatch(const IniProfile& ini)
{
    PatchContents patch;
    patch.current = ini.readString(kVersionSection, "OKP", "") == kPatchFormatMarker;
    patch.areaWidth = readAreaSide(ini, "Width", kPatchAreaWidth);
    patch.areaHeight = readAreaSide(ini, "Height", kPatchAreaHeight);
    readNamed(ini, kGlobalsSection, kGlobalKeys, patch.globals);
    readMidi(ini, patch.midi);
    for (std::size_t i = 0; i < patch.layerStack.size(); ++i) {
        const auto entry = static_cast<std::int64_t>(i + 1);
        patch.layerStack[i] = ini.readInteger(kLayerStackSection, slotKey(i), entry);
    }
    for (std::size_t i = 0; i < patch.slots.size(); ++i) {
        patch.slots[i] = readSlot(ini, i);
    }
    return patch;
}

} // namespace oskel
