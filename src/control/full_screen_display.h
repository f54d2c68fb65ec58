#pragma once

#include <functional>

#include "core/engine_ports.h"
#include "core/performance.h"

namespace oskel {

// The full-screen display mode: the output fills the whole of its monitor, without a border,
// and the screen keeps its mode. Switching either way stands the instrument by (the audio
// thread ends, the slots keep their state) and restarts the sync-mode slots, as the performer
// expects from the "Maximize" / "Window Display" button. Main thread only.
class FullScreenDisplay {
public:
    // The output window as the mode needs it; the windows implement it.
    class Output {
    public:
        virtual ~Output() = default;
        // Full screen on its monitor, or back to a window; the button's caption follows.
        virtual void showFullScreen(bool on) = 0;
    };
    // Where no output window exists: the mode is kept, nothing is shown.
    class NoOutput : public Output {
    public:
        void showFullScreen(bool) override { }
    };

    FullScreenDisplay(Performance& performance, PlaybackControl& playback, Output& output,
        std::function<void(bool hide)> restartSyncSlots);

    bool isOn() const { return m_on; }
    void enter();
    void leave();
    // The "Maximize" / "Window Display" button.
    void toggle();

    // The output window from now on; it must outlive its use here.
    void setOutput(Output& output) { m_output = &output; }

    static constexpr const char* kEnterCaption = "Maximize";
    static constexpr const char* kLeaveCaption = "Window Display";

private:
    void standBy();
    void switchTo(bool on);

    Performance& m_performance;
    PlaybackControl& m_playback;
    Output* m_output;
    std::function<void(bool)> m_restartSyncSlots;
    bool m_on = false;
};

} // namespace oskel
