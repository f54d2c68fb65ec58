#pragma once

#include <cstddef>
#include <cstdint>

namespace oskel {

inline std::size_t pixelCount(int width, int height)
{
    return width > 0 && height > 0
        ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height)
        : 0;
}

// 24-bit pixels into 32-bit ones: the three bytes of each pixel become the first three of
// four; the fourth is left as it was.
inline void widenPixels(const std::uint8_t* from, std::uint8_t* to, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        to[i * 4] = from[i * 3];
        to[i * 4 + 1] = from[i * 3 + 1];
        to[i * 4 + 2] = from[i * 3 + 2];
    }
}

// The first three bytes of each 32-bit pixel back into 24-bit ones.
inline void narrowPixels(const std::uint8_t* from, std::uint8_t* to, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        to[i * 3] = from[i * 4];
        to[i * 3 + 1] = from[i * 4 + 1];
        to[i * 3 + 2] = from[i * 4 + 2];
    }
}

} // namespace oskel
