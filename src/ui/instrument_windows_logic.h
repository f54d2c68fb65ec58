#pragma once

#include <functional>

#include "core/clip_inspector_port.h"
#include "core/crossfade_mixer.h"
#include "core/full_screen_display.h"
#include "core/keyboard_control.h"
#include "core/output_mouse.h"
#include "core/slot_grid_logic.h"
#include "ui/instrument_windows.h"

namespace oskel {

// The logic the windows bind to that has no other owner yet.
struct InstrumentWindows::Logic {
    Logic(WindowLinks& links, KeyboardTargets& keyTargets, SlotGridTargets& gridTargets,
        FullScreenDisplay::Output& output)
        : inspector(links.performance)
        , mixer(links.performance, links.events, inspector)
        , outputMouse(links.performance, links.events, inspector)
        , grid(SlotGrid::Links { links.performance, links.events, links.loader, links.tempo, mixer,
              inspector, gridTargets, links.restartSyncSlots })
        , keyboard(KeyboardControl::Links { links.performance, links.events, links.tempo, mixer,
              inspector, keyTargets, links.restartSyncSlots, links.clock, links.referenceRate })
        , fullScreen(links.performance, links.playback, output, links.restartSyncSlots)
    {
    }

    SelectionOnlyInspector inspector;
    CrossfadeMixer mixer;
    OutputMouse outputMouse;
    SlotGrid grid;
    KeyboardControl keyboard;
    FullScreenDisplay fullScreen;
};

} // namespace oskel
