#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace oskel {

// A 24-bit picture: blue-green-red bytes, rows packed (no padding), bottom row first.
struct ColourBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 3 bytes
};

// Largest side of a colour bitmap that is read.
inline constexpr int kMaxColourBitmapSide = 4096;

// Reads an uncompressed 24-bit Windows bitmap (12-byte core header or a 40-byte or larger
// info header; bottom-up or top-down). Anything else, or a file whose pixels are not all
// there, gives nothing. Never reads outside fileBytes.
std::optional<ColourBitmap> readColourBitmap(std::span<const std::uint8_t> fileBytes);
std::optional<ColourBitmap> readColourBitmapFile(const std::filesystem::path& path);

} // namespace oskel
