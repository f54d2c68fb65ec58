#include "bmp_writer.h"

#include <fstream>
#include <stdexcept>

namespace oskel::test {

namespace {

void appendLe16(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void appendLe32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    appendLe16(bytes, value & 0xFFFF);
    appendLe16(bytes, value >> 16);
}

void appendInfoHeader(std::vector<std::uint8_t>& bytes, int width, int height, int bitsPerPixel,
    const BmpOptions& options, std::size_t imageSize)
{
    const std::size_t start = bytes.size();
    appendLe32(bytes, static_cast<std::uint32_t>(options.headerSize));
    if (options.headerSize == 12) {
        appendLe16(bytes, static_cast<std::uint32_t>(width));
        appendLe16(bytes, static_cast<std::uint32_t>(height));
        appendLe16(bytes, 1);
        appendLe16(bytes, static_cast<std::uint32_t>(bitsPerPixel));
        return;
    }
    appendLe32(bytes, static_cast<std::uint32_t>(width));
    appendLe32(bytes, static_cast<std::uint32_t>(options.topDown ? -height : height));
    appendLe16(bytes, 1);
    appendLe16(bytes, static_cast<std::uint32_t>(bitsPerPixel));
    appendLe32(bytes, 0); // uncompressed
    appendLe32(bytes, static_cast<std::uint32_t>(imageSize));
    appendLe32(bytes, 2835); // 72 dots per inch, in dots per metre
    appendLe32(bytes, 2835);
    appendLe32(bytes, 0); // colours used: all for the depth
    appendLe32(bytes, 0); // colours important: all
    // The V4 and V5 fields (masks, colour space, gamma, profile) stay zero.
    bytes.resize(start + static_cast<std::size_t>(options.headerSize), 0);
}

} // namespace

std::vector<std::uint8_t> makeBmp(int width, int height, int bitsPerPixel,
    const std::vector<std::uint8_t>& pixelsBottomUp, const BmpOptions& options)
{
    const auto rows = static_cast<std::size_t>(height);
    const auto packedRow = (static_cast<std::size_t>(width) * bitsPerPixel + 7) / 8;
    const auto stride = (static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    if (pixelsBottomUp.size() != packedRow * rows) {
        throw std::invalid_argument("makeBmp: pixel bytes do not match the size");
    }
    if (options.topDown && options.headerSize == 12) {
        throw std::invalid_argument("makeBmp: the 12-byte header cannot be top-down");
    }
    const std::size_t paletteEntries = bitsPerPixel <= 8 ? std::size_t(1) << bitsPerPixel : 0;
    const std::size_t entrySize = options.headerSize == 12 ? 3 : 4;
    const std::size_t pixelOffset = 14 + static_cast<std::size_t>(options.headerSize)
        + paletteEntries * entrySize + options.gapBytes;
    const std::size_t imageSize = stride * rows;

    std::vector<std::uint8_t> bytes;
    bytes.reserve(pixelOffset + imageSize);
    bytes.push_back('B');
    bytes.push_back('M');
    appendLe32(bytes, static_cast<std::uint32_t>(pixelOffset + imageSize));
    appendLe32(bytes, 0); // reserved
    appendLe32(bytes, static_cast<std::uint32_t>(pixelOffset));
    appendInfoHeader(bytes, width, height, bitsPerPixel, options, imageSize);
    for (std::size_t i = 0; i < paletteEntries; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / (paletteEntries - 1));
        bytes.insert(bytes.end(), 3, grey); // blue, green, red
        if (entrySize == 4) {
            bytes.push_back(0);
        }
    }
    bytes.resize(pixelOffset, 0);
    for (std::size_t i = 0; i < rows; ++i) {
        const std::size_t row = options.topDown ? rows - 1 - i : i;
        const auto from = pixelsBottomUp.begin() + static_cast<std::ptrdiff_t>(row * packedRow);
        bytes.insert(bytes.end(), from, from + static_cast<std::ptrdiff_t>(packedRow));
        bytes.resize(bytes.size() + stride - packedRow, 0);
    }
    return bytes;
}

void putLe16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value)
{
    bytes.at(offset) = static_cast<std::uint8_t>(value & 0xFF);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void putLe32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    putLe16(bytes, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    putLe16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

void writeBytesToFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(
        reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

} // namespace oskel::test
