#pragma once

#include <cstdint>

namespace oskel {

// One performance action. Codes 0..41 name the actions; fields a code does not use are not
// read.
struct TSlotEvent {
    std::uint8_t Code = 0;
    std::int32_t Value = 0;
    std::int32_t Value2 = 0;
    std::int32_t Slot = 0;
};

namespace event_code {
inline constexpr std::uint8_t kMove = 16;
inline constexpr std::uint8_t kStandbyOn = 28;
inline constexpr std::uint8_t kStandbyOff = 29;
} // namespace event_code

// Where performance actions go: the event processor.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void ProcessEvent(const TSlotEvent& event) = 0;
};

} // namespace oskel
