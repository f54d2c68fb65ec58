#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace oskel {

// The one reader of Windows bitmap files: 8-bit pictures (stencils) and 24-bit pictures (the
// pictures shown on the output). Both are checked the same way; only the pixel depth each
// accepts differs.

// An 8-bit-per-pixel picture: one byte per pixel, rows packed (no padding), bottom row first,
// as the pixel bytes of an 8-bit Windows bitmap.
struct GreyBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height bytes
};

// A 24-bit picture: blue-green-red bytes, rows packed (no padding), bottom row first.
struct ColourBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 3 bytes
};

enum class BitmapError {
    None,
    Unreadable, // missing, truncated, inconsistent, compressed, too large, not a BMP
    NotEightBit, // a readable BMP with another pixel depth
};

struct GreyBitmapResult {
    BitmapError error = BitmapError::None;
    GreyBitmap bitmap; // valid when error is None
    std::string detail; // what was wrong, for logs and tests
};

// Largest width or height accepted, in pixels.
inline constexpr int kMaxBitmapSide = 16384;

// Largest file readGreyBitmapFile reads whole: the pixels of the largest 8-bit bitmap plus
// 64 KiB for headers, colour table and any gap before the pixels. Of a larger file only the
// headers are read, to tell NotEightBit from Unreadable; an 8-bit one is Unreadable.
inline constexpr std::uint64_t kMaxBitmapFileBytes
    = std::uint64_t(kMaxBitmapSide) * kMaxBitmapSide + 65536;

// Reads an uncompressed 8-bit bitmap (12-, 40-, 52-, 56-, 64-, 108- or 124-byte header) and
// returns its colour indices as the pixels; a top-down file is turned bottom row first. The
// colour table is not read and the header's file and image sizes are not trusted: only the
// bytes actually present count. A readable uncompressed bitmap (bit fields for 16 and 32 bits)
// of another depth is NotEightBit; anything else wrong, including run-length compression, is
// Unreadable. Never reads outside fileBytes.
GreyBitmapResult readGreyBitmap(std::span<const std::uint8_t> fileBytes);
// Reads the file at path as readGreyBitmap does; a missing or unreadable file is Unreadable.
GreyBitmapResult readGreyBitmapFile(const std::filesystem::path& path);

// Largest side of a colour bitmap that is read.
inline constexpr int kMaxColourBitmapSide = 4096;

// Reads an uncompressed 24-bit bitmap, checked as readGreyBitmap checks an 8-bit one, with
// sides of at most kMaxColourBitmapSide; a top-down file is turned bottom row first. Anything
// else gives nothing. Never reads outside fileBytes.
std::optional<ColourBitmap> readColourBitmap(std::span<const std::uint8_t> fileBytes);
// Reads the file at path as readColourBitmap does; a missing, unreadable or larger file than
// the largest colour bitmap gives nothing.
std::optional<ColourBitmap> readColourBitmapFile(const std::filesystem::path& path);

} // namespace oskel
