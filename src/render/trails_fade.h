#pragma once

#include <algorithm>

namespace oskel {

inline constexpr int kMaxTrailsStrength = 64;

// The alpha of the black veil laid over the previous picture each tick when trails are on:
// strength 64 never fades, 0 fades fastest (the picture keeps 0.875 of itself per tick).
constexpr double trailsFadeAlpha(int strength)
{
    return (kMaxTrailsStrength - std::clamp(strength, 0, kMaxTrailsStrength)) / 512.0;
}

} // namespace oskel
