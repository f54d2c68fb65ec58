#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace oskel::test {

// Byte offsets of the fields a test may want to corrupt, counted from the start of the file.
inline constexpr std::size_t kBmpPixelOffsetField = 10; // 32 bits
inline constexpr std::size_t kBmpHeaderSizeField = 14; // 32 bits
inline constexpr std::size_t kBmpWidthField = 18; // 32 bits (16 in the 12-byte header)
inline constexpr std::size_t kBmpHeightField = 22; // 32 bits
inline constexpr std::size_t kBmpPlanesField = 26; // 16 bits
inline constexpr std::size_t kBmpBitCountField = 28; // 16 bits
inline constexpr std::size_t kBmpCompressionField = 30; // 32 bits
inline constexpr std::size_t kBmpColoursUsedField = 46; // 32 bits

struct BmpOptions {
    bool topDown = false; // negative height, first row in the file is the top one
    int headerSize = 40; // 12 (core), 40 (info), 108 (V4) or 124 (V5)
    std::size_t gapBytes = 0; // extra bytes between the colour table and the pixels
};

// A Windows bitmap file. pixelsBottomUp holds the rows packed without padding, bottom row
// first, each (width * bitsPerPixel + 7) / 8 bytes long. Depths up to 8 bits get a full grey
// colour table (entry i is grey i * 255 / (entries - 1)); the others none.
std::vector<std::uint8_t> makeBmp(int width, int height, int bitsPerPixel,
    const std::vector<std::uint8_t>& pixelsBottomUp, const BmpOptions& options = {});

// Overwrites little-endian fields in an existing file image.
void putLe16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);
void putLe32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);

void writeBytesToFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

} // namespace oskel::test
