#pragma once

#include <chrono>
#include <cstdint>

namespace oskel {

// A steady millisecond counter that wraps at 2^32, like the tick counts the timing rules are
// written for: differences of two readings are right across the wrap.
inline std::uint32_t millisecondTick()
{
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

} // namespace oskel
