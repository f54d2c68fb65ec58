#pragma once

#include "core/performance.h"

namespace oskel {

// Standby follows the application's focus while the "Auto Standby" preference is on: another
// application taking the focus stands the instrument by (event 28), getting it back leaves
// standby (event 29). Only a standby it entered itself is left again, so a performer who stood
// the instrument by before switching away finds it still standing by. Main thread.
class AutoStandby {
public:
    AutoStandby(EventSink& events, const Performance& performance);

    void applicationActiveChanged(bool active);

private:
    EventSink& m_events;
    const Performance& m_performance;
    bool m_entered = false; // standby entered here and not left since
};

} // namespace oskel
