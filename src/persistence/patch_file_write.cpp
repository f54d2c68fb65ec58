#include <cstddef>
#include <string>
#include <variant>

#include "persistence/midi_assignments.h"
#include "persistence/patch_file.h"
#include "persistence/patch_keys.h"

namespace oskel {

namespace {

using namespace detail;

template <typename Record, std::size_t N>
void writeNamed(IniProfile& ini, std::string_view section, const NamedMember<Record> (&keys)[N],
    const Record& record)
{
    for (const NamedMember<Record>& key : keys) {
        std::visit(
            [&](auto member) { writeValue(ini, section, key.name, record.*member); }, key.member);
    }
}

template <typename T>
void writeSlotValue(IniProfile& ini, std::string_view section, const std::string& key,
    const PatchSlot& slot, T PatchSlot::*member)
{
    writeValue(ini, section, key, slot.*member);
}

void writeSlotValue(IniProfile& ini, std::string_view section, const std::string& key,
    const PatchSlot& slot, const SlotChoice& choice)
{
    ini.writeString(section, key, slot.*choice.member ? choice.whenTrue : choice.whenFalse);
}

void writeSlotValue(IniProfile& ini, std::string_view section, const std::string& key,
    const PatchSlot& slot, const SlotWrittenOnly& writtenOnly)
{
    ini.writeString(section, key, writtenOnly.text(slot));
}

template <std::size_t N>
void writeSlotSections(IniProfile& ini, const SlotSection (&sections)[N], const std::string& key,
    const PatchSlot& slot)
{
    for (const SlotSection& section : sections) {
        std::visit([&](const auto& value) { writeSlotValue(ini, section.name, key, slot, value); },
            section.value);
    }
}

// Only parameters in 0..1 are values of the plug-in; anything else means "not set".
void writeEffect(IniProfile& ini, std::size_t slotIndex, const PatchSlot& slot)
{
    const std::string key = slotKey(slotIndex);
    writeValue(ini, kEffectFileSection, key, slot.effectFileName);
    writeValue(ini, kEffectEnabledSection, key, slot.effectEnabled);
    const std::string parameters = effectParametersSection(slotIndex);
    for (std::size_t i = 0; i < slot.effectParameters.size(); ++i) {
        const double value = slot.effectParameters[i];
        if (value >= 0.0 && value <= 1.0) {
            writeValue(ini, parameters, std::to_string(i), value);
        }
    }
}

void writeSlot(IniProfile& ini, std::size_t slotIndex, const PatchSlot& slot)
{
    const std::string key = slotKey(slotIndex);
    writeValue(ini, kFileNamesSection, key, slot.fileName);
    if (slot.loaded) {
        writeSlotSections(ini, kSlotSettings, key, slot);
        if (!slot.effectFileName.empty()) {
            writeEffect(ini, slotIndex, slot);
        }
        writeSlotSections(ini, kSlotTail, key, slot);
    }
    writeValue(ini, kInPointsSection, key, slot.inPoint);
}

void writeVersion(IniProfile& ini)
{
    ini.writeString(kVersionSection, "OKP", kPatchFormatMarker);
    ini.writeString(kVersionSection, "Program", kPatchProgramVersion);
    ini.writeString(kVersionSection, "OKPInPoint", "1");
    ini.writeString(kVersionSection, "BPM", "3");
    ini.writeString(kVersionSection, "ProgramMain", "3");
    ini.writeString(kVersionSection, "Type", "Release");
}

} // namespace

void writePatch(IniProfile& ini, const PatchContents& patch)
{
    writeVersion(ini);
    writeNamed(ini, kGlobalsSection, kGlobalKeys, patch.globals);
    writeNamed(ini, kMidiSection, kMidiKeys, patch.midi);
    writeMidiAssignments(ini, patch.midi.controllers, patch.midi.controllerInverts);
    writeValue(ini, kAreaSection, "Width", patch.areaWidth);
    writeValue(ini, kAreaSection, "Height", patch.areaHeight);
    for (std::size_t i = 0; i < patch.slots.size(); ++i) {
        writeSlot(ini, i, patch.slots[i]);
    }
    ini.deleteSection(kObsoletePansSection);
    for (std::size_t i = 0; i < patch.layerStack.size(); ++i) {
        writeValue(ini, kLayerStackSection, slotKey(i), patch.layerStack[i]);
    }
}

} // namespace oskel
