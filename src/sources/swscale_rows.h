#pragma once

#include <cstddef>

namespace oskel {

// swscale writes whole vectors: it may run past the end of a row, and of the last one. Its
// 24-bit targets get rows padded to this and a tail after the last.
inline constexpr std::ptrdiff_t kSwscaleRowAlignment = 64;
inline constexpr std::size_t kSwscaleTailPadding = 256;

inline std::ptrdiff_t paddedRowBytes(int width)
{
    return (std::ptrdiff_t(width) * 3 + kSwscaleRowAlignment - 1) / kSwscaleRowAlignment
        * kSwscaleRowAlignment;
}

} // namespace oskel
