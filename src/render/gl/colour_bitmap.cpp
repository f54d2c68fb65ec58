#include "render/gl/colour_bitmap.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <system_error>

namespace oskel {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kLargestHeaderSize = 124;
constexpr std::uint64_t kMaxFileBytes
    = std::uint64_t(kMaxColourBitmapSide) * (kMaxColourBitmapSide * 3 + 3) + 65536;

std::uint32_t le(std::span<const std::uint8_t> bytes, std::size_t offset, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | bytes[offset + std::size_t(i)];
    }
    return value;
}

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: top row first
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t planes = 0;
};

std::optional<Header> readHeader(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kFileHeaderSize + 4 || bytes[0] != 'B' || bytes[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t headerSize = le(bytes, kFileHeaderSize, 4);
    if (headerSize != kCoreHeaderSize
        && (headerSize < kInfoHeaderSize || headerSize > kLargestHeaderSize)) {
        return std::nullopt;
    }
    if (bytes.size() < kFileHeaderSize + headerSize) {
        return std::nullopt;
    }
    Header header;
    const std::size_t at = kFileHeaderSize;
    if (headerSize == kCoreHeaderSize) {
        header.width = le(bytes, at + 4, 2);
        header.height = le(bytes, at + 6, 2);
        header.planes = le(bytes, at + 8, 2);
        header.bitCount = le(bytes, at + 10, 2);
    } else {
        header.width = static_cast<std::int32_t>(le(bytes, at + 4, 4));
        header.height = static_cast<std::int32_t>(le(bytes, at + 8, 4));
        header.planes = le(bytes, at + 12, 2);
        header.bitCount = le(bytes, at + 14, 2);
        header.compression = le(bytes, at + 16, 4);
    }
    return header;
}

} // namespace

std::optional<ColourBitmap> readColourBitmap(std::span<const std::uint8_t> fileBytes)
{
    const std::optional<Header> header = readHeader(fileBytes);
    if (!header || header->planes != 1 || header->bitCount != 24 || header->compression != 0) {
        return std::nullopt;
    }
    const std::int64_t height = header->height < 0 ? -header->height : header->height;
    if (header->width <= 0 || header->width > kMaxColourBitmapSide || height <= 0
        || height > kMaxColourBitmapSide) {
        return std::nullopt;
    }
    const std::uint64_t pixelOffset = le(fileBytes, 10, 4);
    const std::uint64_t rowBytes = std::uint64_t(header->width) * 3;
    const std::uint64_t stride = (rowBytes + 3) / 4 * 4;
    const std::uint64_t needed = pixelOffset + stride * std::uint64_t(height - 1) + rowBytes;
    if (pixelOffset < kFileHeaderSize || needed > fileBytes.size()) {
        return std::nullopt;
    }
    ColourBitmap bitmap;
    bitmap.width = static_cast<int>(header->width);
    bitmap.height = static_cast<int>(height);
    bitmap.pixels.resize(rowBytes * std::uint64_t(height));
    const bool topRowFirst = header->height < 0;
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t target = topRowFirst ? height - 1 - row : row;
        std::memcpy(bitmap.pixels.data() + std::uint64_t(target) * rowBytes,
            fileBytes.data() + pixelOffset + std::uint64_t(row) * stride, rowBytes);
    }
    return bitmap;
}

std::optional<ColourBitmap> readColourBitmapFile(const std::filesystem::path& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxFileBytes) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()))) {
        return std::nullopt;
    }
    return readColourBitmap(bytes);
}

} // namespace oskel
