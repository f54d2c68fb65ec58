#pragma once

// How the control table sets a slot's effect: through the effect host, which refuses a
// value for a slot without a plug-in (or a parameter the plug-in does not have). Included by
// control_table_entries.h.

#include <cstdint>

#include "core/event_rules.h"
#include "core/performance.h"

namespace oskel::control_entries {

inline constexpr int kEffectParameterCount = 8;
// Enough for every plug-in list a performer could gather.
inline constexpr ValueRange kPluginIndex { 0, 100000 };

inline std::int32_t effectPlugin(const Performance& p, int slot)
{
    return p.effects().pluginIndex(slot);
}
inline bool chooseEffectPlugin(Performance& p, EventSink&, int slot, std::int32_t value)
{
    return p.effects().choosePlugin(slot, value);
}
inline bool setEffectEnabled(Performance& p, EventSink&, int slot, std::int32_t value)
{
    return p.effects().setEffectEnabled(slot, value != 0);
}
// A parameter the plug-in does not have reads as -1, outside the range; the slot refuses it.
template <int Index> std::int32_t effectParameter(const Performance& p, int slot)
{
    const float value = p.slots()[slot].FFparams[Index];
    return static_cast<std::int32_t>(value * kDecimalScale + (value < 0 ? -0.5f : 0.5f));
}
template <int Index>
bool setEffectParameter(Performance& p, EventSink&, int slot, std::int32_t value)
{
    return p.effects().setParameter(slot, Index, static_cast<float>(value) / kDecimalScale);
}
inline std::int32_t effectWetDry(const Performance& p, int slot)
{
    return static_cast<std::int32_t>(p.slots()[slot].FFwetDry * kDecimalScale + 0.5f);
}
inline bool setEffectWetDry(Performance& p, EventSink&, int slot, std::int32_t value)
{
    return p.effects().setWetDry(slot, static_cast<float>(value) / kDecimalScale);
}

} // namespace oskel::control_entries
