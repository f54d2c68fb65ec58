#include "recording/live_output_switch.h"

namespace oskel {

void LiveOutputSwitch::mainLoopTurn()
{
    if (!wanted()) {
        stop();
        m_gaveUp = false;
        return;
    }
    if (running() && m_failed.load()) {
        stop(); // told already
        m_gaveUp = true;
    }
    if (const std::string now = target(); now != m_target) {
        stop(); // a new target is tried afresh
        m_gaveUp = false;
    }
    if (!running() && !m_gaveUp) {
        m_target = target();
        m_failed = false;
        m_gaveUp = !start(m_target);
    }
}

void LiveOutputSwitch::fail(const std::string& message)
{
    m_failed = true;
    m_mainThread.post([&ui = m_ui, message] { ui.showMessage(message); });
}

} // namespace oskel
