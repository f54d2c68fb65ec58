#include "control/full_screen_display.h"

#include "core/control_names.h"

namespace oskel {

FullScreenDisplay::FullScreenDisplay(Performance& performance, PlaybackControl& playback,
    Output& output, std::function<void(bool hide)> restartSyncSlots)
    : m_performance(performance)
    , m_playback(playback)
    , m_output(&output)
    , m_restartSyncSlots(std::move(restartSyncSlots))
{
}

void FullScreenDisplay::enter()
{
    if (!m_on) {
        switchTo(true);
    }
}

void FullScreenDisplay::leave()
{
    if (m_on) {
        switchTo(false);
    }
}

void FullScreenDisplay::toggle()
{
    switchTo(!m_on);
}

void FullScreenDisplay::switchTo(bool on)
{
    standBy();
    m_output->showFullScreen(on);
    m_on = on;
    if (m_restartSyncSlots) {
        m_restartSyncSlots(false);
    }
}

// Standby as event 28 sets it, but the slots are not stopped.
void FullScreenDisplay::standBy()
{
    m_playback.stopAudioThread();
    m_performance.globals().standby = true;
    m_performance.ui().showControlValue(control::kStandby, true);
    m_performance.ui().setStatusText("Standby");
}

} // namespace oskel
