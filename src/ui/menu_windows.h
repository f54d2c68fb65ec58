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
    // MIDI input is paused while the window is open, and taken up again when it closes if it
    // was on before.
    bool midiPaused = false;
    PluginMonitorWindow pluginMonitor;
};

} // namespace oskel
