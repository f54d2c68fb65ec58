#include "control/effect_setup.h"

#include "core/control_table.h"

namespace oskel {

namespace {

constexpr std::size_t kPlugin = controlIndex(ControlScope::Slot, "EffectPlugin");
constexpr std::size_t kEffect = controlIndex(ControlScope::Slot, "Effect");
constexpr std::size_t kFirstParameter = controlIndex(ControlScope::Slot, "EffectParameter1");
constexpr std::size_t kWetDry = controlIndex(ControlScope::Slot, "EffectWetDry");

} // namespace

void toggleEffect(Performance& performance, EventSink& events, int slot)
{
    if (!isValidSlot(slot) || performance.effects().pluginIndex(slot) == 0) {
        return;
    }
    setControl(events, performance, slotControl(kEffect, slot),
        performance.slots()[slot].FFenable ? 0 : 1);
}

void copyEffectSetup(Performance& performance, EventSink& events, int sourceSlot, int targetSlot)
{
    if (!isValidSlot(sourceSlot) || !isValidSlot(targetSlot) || sourceSlot == targetSlot) {
        return;
    }
    const TPlayAvistruct source = performance.slots()[sourceSlot];
    const int index = performance.effects().pluginIndex(sourceSlot);
    setControl(events, performance, slotControl(kPlugin, targetSlot), index);
    if (index == 0 || performance.effects().pluginIndex(targetSlot) != index) {
        return;
    }
    setControl(events, performance, slotControl(kEffect, targetSlot), source.FFenable ? 1 : 0);
    for (std::size_t k = 0; k < source.FFparams.size(); ++k) {
        const float value = source.FFparams.at(k);
        if (value >= 0.0f && value <= 1.0f) {
            setControl(events, performance, slotControl(kFirstParameter + k, targetSlot),
                control_entries::thousandths(value));
        }
    }
    setControl(events, performance, slotControl(kWetDry, targetSlot),
        control_entries::thousandths(source.FFwetDry));
}

} // namespace oskel
