#pragma once

#include <cstdint>
#include <functional>

#include "control/clip_inspector_port.h"
#include "control/crossfade_mixer.h"
#include "control/full_screen_display.h"
#include "control/keyboard_control.h"
#include "control/keyboard_targets.h"
#include "control/output_mouse.h"
#include "control/slot_grid_logic.h"
#include "core/engine_ports.h"
#include "core/performance.h"
#include "core/slot_event.h"
#include "playback/clip_loader.h"
#include "playback/tempo.h"

namespace oskel {

// The instrument's controllers: the computer keyboard, the clip slot grid, the crossfade
// mixer, the pointer on the output and the full-screen display mode. They exist with or
// without windows. What they do to a window goes to the side the windows attached while they
// are open, and does nothing otherwise; the inspector keeps only the selected slot until an
// inspector window is attached. Main thread only.
class Controllers {
public:
    struct Links {
        Performance& performance;
        // Where the performer's actions go: the event processor.
        EventSink& events;
        Tempo& tempo;
        ClipLoader& loader;
        PlaybackControl& playback;
        // Restarts the sync-mode slots (the event processor's RestartSyncSlots).
        std::function<void(bool hide)> restartSyncSlots;
        // Milliseconds, wrapping: the time of a tempo tap.
        std::function<std::uint32_t()> clock;
        // The sample rate the speed keys take as normal speed.
        std::function<int()> referenceRate;
    };

    explicit Controllers(Links links);
    Controllers(const Controllers&) = delete;
    Controllers& operator=(const Controllers&) = delete;

    KeyboardControl& keyboard() { return m_keyboard; }
    SlotGrid& grid() { return m_grid; }
    CrossfadeMixer& mixer() { return m_mixer; }
    OutputMouse& outputMouse() { return m_outputMouse; }
    FullScreenDisplay& fullScreen() { return m_fullScreen; }
    ClipInspectorPort& inspector() { return m_inspector; }

    // The windows' side, from when they open until detachWindows; it must outlive that.
    void attachWindows(
        KeyboardTargets& keys, SlotGridTargets& grid, FullScreenDisplay::Output& output);
    void detachWindows();
    // The inspector window, from now on; null: none, only the selection is kept.
    void attachInspector(ClipInspectorPort* inspector) { m_inspector.attach(inspector); }

private:
    // Passes every call to the attached inspector, or to the selection-only one.
    class InspectorSwitch : public ClipInspectorPort {
    public:
        explicit InspectorSwitch(Performance& performance)
            : m_selectionOnly(performance)
        {
        }
        void attach(ClipInspectorPort* inspector) { m_attached = inspector; }
        void showAVIinfo(int slot) override { current().showAVIinfo(slot); }
        int inspectedSlot() const override { return current().inspectedSlot(); }

    private:
        ClipInspectorPort& current() const
        {
            return m_attached != nullptr ? *m_attached : m_selectionOnly;
        }

        mutable SelectionOnlyInspector m_selectionOnly;
        ClipInspectorPort* m_attached = nullptr;
    };

    KeyboardTargets m_noKeyTargets;
    SlotGridTargets m_noGridTargets;
    FullScreenDisplay::NoOutput m_noOutput;
    InspectorSwitch m_inspector;
    CrossfadeMixer m_mixer;
    OutputMouse m_outputMouse;
    SlotGrid m_grid;
    KeyboardControl m_keyboard;
    FullScreenDisplay m_fullScreen;
};

} // namespace oskel
