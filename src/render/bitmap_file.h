#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace oskel {

// An 8-bit-per-pixel picture: one byte per pixel, rows packed (no padding), bottom row first,
// as the pixel bytes of an 8-bit Windows bitmap.
struct GreyBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height bytes
};

enum class BitmapError {
    None,
    Unreadable,   // missing, truncated, inconsistent, compressed, too large, not a BMP
    NotEightBit,  // a readable BMP with another pixel depth
};

struct GreyBitmapResult {
    BitmapError error = BitmapError::None;
    GreyBitmap bitmap;      // valid when error is None
    std::string detail;     // what was wrong, for logs and tests
};

// Largest width or height accepted, in pixels.
inline constexpr int kMaxBitmapSide = 16384;

GreyBitmapResult readGreyBitmap(std::span<const std::uint8_t> fileBytes);
GreyBitmapResult readGreyBitmapFile(const std::filesystem::path& path);

} // namespace oskel
