#pragma once

#include <memory>

#include "control/multiple_clips.h"
#include "ui/load_multiple_clips_window.h"
#include "ui/plugin_monitor_window.h"

namespace oskel {

// The windows the menu opens beside the main window: "Load Multiple Clips" with its logic,
// and the "FreeFrame Plugin Monitor".
struct MenuWindows {
    LoadMultipleClipsWindow multipleClipsWindow;
    std::unique_ptr<MultipleClips> multipleClips;
    PluginMonitorWindow pluginMonitor;
};

} // namespace oskel
