#pragma once

#include <cstdint>
#include <limits>

#include "core/slot_event.h"

namespace oskel {

// What an event code needs before it acts: whether it names a loaded slot, and the ranges
// its values must lie in (a value outside makes the whole event do nothing). The event
// processor's table (event_table.cpp) holds the rule of every code.
struct ValueRange {
    std::int64_t low = std::numeric_limits<std::int32_t>::min();
    std::int64_t high = std::numeric_limits<std::int32_t>::max();
    bool contains(std::int64_t value) const { return value >= low && value <= high; }
};

struct EventRule {
    bool namesSlot = false;
    ValueRange value;
    ValueRange value2;
};

inline constexpr ValueRange kAny {};
inline constexpr ValueRange kVolumeRange { -10000, 0 };
inline constexpr ValueRange kFrequencyRange { 100, 200000 };
inline constexpr ValueRange kControllerRange { 0, 127 };
inline constexpr ValueRange kLumaRange { 0, 765 };
// Coordinates and sizes far outside any layout are refused before they can overflow.
inline constexpr ValueRange kCoordinateRange { -1000000, 1000000 };

} // namespace oskel
