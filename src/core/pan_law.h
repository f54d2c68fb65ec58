#pragma once

#include <cmath>
#include <cstdint>

#include "core/rounding.h"

namespace oskel {

inline constexpr std::int32_t kMutedVolume = -8000;
inline constexpr std::int32_t kSilentVolume = -10000;

// A stored pan of 0..127 (64 centre) as a sound-buffer pan of -10000..10000: logarithmic
// towards the sides, hard left and right at the ends; any other value is the centre.
inline std::int32_t balanceToPan(std::int32_t balance)
{
    if (balance == 0) {
        return -10000;
    }
    if (balance == 127) {
        return 10000;
    }
    if (balance >= 1 && balance <= 63) {
        return static_cast<std::int32_t>(roundHalfEven(2000.0 * std::log10(balance / 64.0)));
    }
    if (balance >= 65 && balance <= 126) {
        return static_cast<std::int32_t>(
            -roundHalfEven(2000.0 * std::log10((128 - balance) / 64.0)));
    }
    return 0;
}

} // namespace oskel
