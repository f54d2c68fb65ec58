#pragma once

#include <string>
#include <vector>

namespace oskel {

class EffectHost;

// One line of the "FreeFrame Plugin Monitor": a slot that holds a plug-in, what it is, whether
// it is on, and its parameters as the plug-in shows them.
struct PluginMonitorRow {
    int slot = 0;
    std::string plugin; // as the plug-in box shows it
    bool enabled = false;
    std::string parameters; // "1 - Brightness: 50, 2 - Contrast: 0.25"
    std::string mix; // "" without the wet/dry mixer, else "70% wet"
};

// The slots with a plug-in, in slot order. Takes each slot's effect lock briefly, as the
// inspector's effect page does.
std::vector<PluginMonitorRow> pluginMonitorRows(EffectHost& host);

} // namespace oskel
