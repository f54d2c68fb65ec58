#include "control/midi_effect_controls.h"

#include "core/control_table.h"
#include "core/slot_number.h"

namespace oskel {

namespace {

constexpr std::size_t kFirstParameter = controlIndex(ControlScope::Slot, "EffectParameter1");
constexpr std::size_t kWetDry = controlIndex(ControlScope::Slot, "EffectWetDry");
constexpr std::size_t kEffect = controlIndex(ControlScope::Slot, "Effect");
constexpr int kControllerTop = 127;
static_assert(controlIndex(ControlScope::Slot, "EffectParameter8") == kFirstParameter + 7,
    "the eight parameters follow one another in the table");

std::int32_t thousandthsOf(double value)
{
    return control_entries::thousandths(value);
}

} // namespace

void MidiEffectControls::MIDIsetParam(int slot, int index, int value)
{
    if (!isValidSlot(slot) || index < 0 || index >= control_entries::kEffectParameterCount) {
        return;
    }
    const double fraction = static_cast<double>(value) / kControllerTop;
    setControl(m_events, m_performance,
        slotControl(kFirstParameter + static_cast<std::size_t>(index), slot),
        thousandthsOf(fraction));
}

void MidiEffectControls::ChangeWetDryMixMIDI(int slot, double mix)
{
    if (isValidSlot(slot)) {
        setControl(m_events, m_performance, slotControl(kWetDry, slot), thousandthsOf(mix));
    }
}

bool MidiEffectControls::SetEffectEnabled(int slot, bool on)
{
    if (!isValidSlot(slot) || m_performance.effects().pluginIndex(slot) == 0) {
        return false;
    }
    setControl(m_events, m_performance, slotControl(kEffect, slot), on ? 1 : 0);
    return m_performance.slots()[slot].FFenable == on;
}

} // namespace oskel
