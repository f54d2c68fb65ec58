#pragma once

#include <cmath>
#include <cstdint>

namespace oskel {

// Rounds to the nearest integer, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4),
// as every rounding of the system does.
inline std::int64_t roundHalfEven(double value)
{
    const double floorValue = std::floor(value);
    const double fraction = value - floorValue;
    auto result = static_cast<std::int64_t>(floorValue);
    if (fraction > 0.5 || (fraction == 0.5 && (result % 2 != 0))) {
        ++result;
    }
    return result;
}

} // namespace oskel
