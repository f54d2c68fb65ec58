#pragma once

#include <ostream>
#include <utility>
#include <vector>

#include "core/slot_event.h"

namespace oskel {

inline bool operator==(const TSlotEvent& a, const TSlotEvent& b)
{
    return a.Code == b.Code && a.Value == b.Value && a.Value2 == b.Value2 && a.Slot == b.Slot;
}

inline void PrintTo(const TSlotEvent& event, std::ostream* out)
{
    *out << "{code " << int(event.Code) << ", " << event.Value << ", " << event.Value2 << ", slot "
         << event.Slot << "}";
}

namespace test {

// Records the events it is sent, in order. Settings of the control table (kSetControl) are
// passed on to the sink given to applyControlsWith, usually a real event processor, so that
// the values they set take effect; they are not recorded.
class RecordingEventSink : public EventSink {
public:
    std::vector<TSlotEvent> events;

    void applyControlsWith(EventSink& processor) { m_controls = &processor; }
    void ProcessEvent(const TSlotEvent& event) override
    {
        if (event.Code == event_code::kSetControl && m_controls != nullptr) {
            m_controls->ProcessEvent(event);
        } else {
            events.push_back(event);
        }
    }
    // The events so far, forgetting them.
    std::vector<TSlotEvent> take() { return std::exchange(events, {}); }

private:
    EventSink* m_controls = nullptr;
};

} // namespace test
} // namespace oskel
