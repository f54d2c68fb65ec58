#include "control/auto_standby.h"

namespace oskel {

AutoStandby::AutoStandby(EventSink& events, const Performance& performance)
    : m_events(events)
    , m_performance(performance)
{
}

void AutoStandby::applicationActiveChanged(bool active)
{
    const bool standby = m_performance.globals().standby;
    if (!active) {
        if (m_performance.options().ui.AutoStandby && !standby) {
            m_events.ProcessEvent(TSlotEvent { event_code::kStandbyOn, 0, 0, 0 });
            m_entered = true;
        }
        return;
    }
    if (m_entered && standby) {
        m_events.ProcessEvent(TSlotEvent { event_code::kStandbyOff, 0, 0, 0 });
    }
    m_entered = false;
}

} // namespace oskel
