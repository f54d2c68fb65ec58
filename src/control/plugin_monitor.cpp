#include "control/plugin_monitor.h"

#include <cmath>
#include <cstdio>

#include "core/slot_number.h"
#include "effects/effect_host.h"

namespace oskel {

namespace {

std::string parameterList(const EffectShown& shown)
{
    std::string list;
    for (int i = 0; i < shown.parameterCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        std::string value = shown.displays.at(k);
        if (value.empty()) {
            char number[32];
            std::snprintf(number, sizeof number, "%.2f", static_cast<double>(shown.values.at(k)));
            value = number;
        }
        list += (list.empty() ? "" : ", ") + shown.names.at(k) + ": " + value;
    }
    return list;
}

std::string mixText(const EffectShown& shown)
{
    if (!shown.hasMixer) {
        return {};
    }
    const long wet = std::lround((1.0 - static_cast<double>(shown.wetDry)) * 100.0);
    return std::to_string(wet) + "% wet";
}

} // namespace

std::vector<PluginMonitorRow> pluginMonitorRows(EffectHost& host)
{
    std::vector<PluginMonitorRow> rows;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const EffectShown shown = host.shown(slot);
        if (!shown.active) {
            continue;
        }
        rows.push_back(PluginMonitorRow { slot, host.plugins().shownName(shown.listIndex),
            shown.enabled, parameterList(shown), mixText(shown) });
    }
    return rows;
}

} // namespace oskel
