#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "core/slot_event.h"

namespace oskel {

// What an event code needs before it acts: whether it names a loaded slot, and the ranges
// its values must lie in (a value outside makes the whole event do nothing).
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

inline constexpr std::uint8_t kLastEventCode = 41;
inline constexpr ValueRange kAny {};
inline constexpr ValueRange kVolumeRange { -10000, 0 };
inline constexpr ValueRange kFrequencyRange { 100, 200000 };
inline constexpr ValueRange kControllerRange { 0, 127 };
inline constexpr ValueRange kLumaRange { 0, 765 };
// Coordinates and sizes far outside any layout are refused before they can overflow.
inline constexpr ValueRange kCoordinateRange { -1000000, 1000000 };

inline constexpr std::array<EventRule, kLastEventCode + 1> kEventRules = { {
    /* 0 trigger */ { true, kVolumeRange, kControllerRange },
    /* 1 restart */ { true, kAny, kAny },
    /* 2 direction */ { true, kAny, kAny },
    /* 3 frequency */ { true, kFrequencyRange, kAny },
    /* 4 frequency via audio thread */ { true, kFrequencyRange, kAny },
    /* 5 trigger at frequency */ { true, kVolumeRange, kFrequencyRange },
    /* 6 Loop */ { false, kAny, kAny },
    /* 7 in point (checked against the length) */ { true, kAny, kAny },
    /* 8 out point (checked against the length) */ { true, kAny, kAny },
    /* 9 pause */ { true, { 0, 1 }, kAny },
    /* 10 release */ { true, kAny, kAny },
    /* 11 clear output */ { false, kAny, kAny },
    /* 12 trails */ { false, kAny, kAny },
    /* 13 layering */ { false, kAny, kAny },
    /* 14 MIDI channel per slot */ { false, kAny, kAny },
    /* 15 position from controller (Value2 checked by axis) */ { true, kAny, { 0, 254 } },
    /* 16 move */ { true, kCoordinateRange, kCoordinateRange },
    /* 17 zoom */ { true, kControllerRange, kAny },
    /* 18 size */ { true, kCoordinateRange, kAny },
    /* 19 aspect */ { true, kControllerRange, kAny },
    /* 20 luma key */ { true, kLumaRange, kAny },
    /* 21 pitch wheel assignment */ { false, { 0, 31 }, kAny },
    /* 22 pitch notes */ { false, kAny, kAny },
    /* 23 width */ { true, kCoordinateRange, kAny },
    /* 24 height */ { true, kCoordinateRange, kAny },
    /* 25 stop all */ { false, kAny, kAny },
    /* 26 stop every slot */ { false, kAny, kAny },
    /* 27 unused */ { false, kAny, kAny },
    /* 28 standby on */ { false, kAny, kAny },
    /* 29 standby off */ { false, kAny, kAny },
    /* 30 nudge frequency */ { true, kAny, { 0, 200000 } },
    /* 31 volume */ { true, kVolumeRange, kAny },
    /* 32 mute */ { true, kAny, kAny },
    /* 33 unmute */ { true, kAny, kAny },
    /* 34 transparency */ { true, { 0, 256 }, kAny },
    /* 35 luma blend */ { true, kLumaRange, kAny },
    /* 36 trails strength */ { false, { 0, 64 }, kAny },
    /* 37 crossfade (Slot and Value2 are the A and B slots) */ { false, { 0, 255 }, { 0, 16 } },
    /* 38 nothing */ { false, kAny, kAny },
    /* 39 master volume */ { false, { 0, 255 }, kAny },
    /* 40 scratch */ { true, kControllerRange, kAny },
    /* 41 pan */ { true, { -10000, 10000 }, kControllerRange },
} };

} // namespace oskel
