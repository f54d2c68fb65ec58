#include "platform/bitmap_file.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>

namespace {

using oskel::BitmapError;
using oskel::GreyBitmap;
using oskel::GreyBitmapResult;
using oskel::kMaxBitmapSide;

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kLargestHeaderSize = 124;
constexpr std::uint64_t kBitFieldMasksSize = 12;

constexpr std::uint32_t kCompressionRgb = 0;
constexpr std::uint32_t kCompressionBitFields = 3;

// Enough to hold every header and the bit-field masks that may follow the smallest info header.
constexpr std::uint64_t kHeadBytes = kFileHeaderSize + kLargestHeaderSize + kBitFieldMasksSize;

struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0; // positive; see topDown
    bool topDown = false;
    int bitCount = 0;
    std::uint64_t pixelOffset = 0;
    std::uint64_t rowStride = 0;
};

// Little-endian fields of a byte span; the caller confirms a range with has() before reading it.
class LittleEndianReader {
public:
    explicit LittleEndianReader(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes)
    {
    }

    bool has(std::uint64_t offset, std::uint64_t count) const
    {
        return offset <= m_bytes.size() && count <= m_bytes.size() - offset;
    }
    std::uint16_t u16(std::size_t offset) const
    {
        return static_cast<std::uint16_t>(m_bytes[offset] | (m_bytes[offset + 1] << 8));
    }
    std::uint32_t u32(std::size_t offset) const
    {
        return std::uint32_t(u16(offset)) | (std::uint32_t(u16(offset + 2)) << 16);
    }
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }

private:
    std::span<const std::uint8_t> m_bytes;
};

GreyBitmapResult failure(BitmapError error, std::string detail)
{
    GreyBitmapResult result;
    result.error = error;
    result.detail = std::move(detail);
    return result;
}

GreyBitmapResult unreadable(std::string detail)
{
    return failure(BitmapError::Unreadable, std::move(detail));
}

bool isKnownHeaderSize(std::uint32_t size)
{
    // core, info, info with RGB / RGBA masks, the 64-byte OS/2 2.x header, V4, V5.
    switch (size) {
    case 12:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
        return true;
    default:
        return false;
    }
}

bool isKnownBitCount(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

struct RawHeader {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    int bitCount = 0;
    std::uint32_t compression = kCompressionRgb;
    std::uint32_t coloursUsed = 0;
    std::uint64_t pixelOffset = 0;
};

// Reads the raw header fields; `in` holds the start of a file of `fileSize` bytes.
std::optional<RawHeader> readRawHeader(
    const LittleEndianReader& in, std::uint64_t fileSize, std::string& detail)
{
    if (!in.has(0, kFileHeaderSize + 4)) {
        detail = "shorter than a bitmap header";
        return std::nullopt;
    }
    if (in.u16(0) != 0x4D42) { // "BM"
        detail = "no BM signature";
        return std::nullopt;
    }
    RawHeader raw;
    raw.pixelOffset = in.u32(10);
    raw.headerSize = in.u32(14);
    if (!isKnownHeaderSize(raw.headerSize)) {
        detail = "unknown header size " + std::to_string(raw.headerSize);
        return std::nullopt;
    }
    if (!in.has(kFileHeaderSize, raw.headerSize) || kFileHeaderSize + raw.headerSize > fileSize) {
        detail = "truncated header";
        return std::nullopt;
    }
    if (raw.headerSize == kCoreHeaderSize) {
        raw.width = in.u16(18);
        raw.height = in.u16(20);
        raw.planes = in.u16(22);
        raw.bitCount = in.u16(24);
    } else {
        raw.width = in.i32(18);
        raw.height = in.i32(22);
        raw.planes = in.u16(26);
        raw.bitCount = in.u16(28);
        raw.compression = in.u32(30);
        raw.coloursUsed = in.u32(46);
    }
    return raw;
}

bool compressionFits(std::uint32_t compression, int bitCount)
{
    if (compression == kCompressionRgb) {
        return true;
    }
    // Bit-field masks describe 16- and 32-bit pixels; run-length and embedded image
    // encodings are not read.
    return compression == kCompressionBitFields && (bitCount == 16 || bitCount == 32);
}

// Checks everything but the pixel depth against a file of `fileSize` bytes.
std::optional<Layout> checkLayout(const RawHeader& raw, std::uint64_t fileSize, std::string& detail)
{
    if (raw.planes != 1) {
        detail = "plane count " + std::to_string(raw.planes);
        return std::nullopt;
    }
    if (raw.width <= 0 || raw.height == 0) {
        detail = "empty or negative size";
        return std::nullopt;
    }
    Layout layout;
    layout.width = raw.width;
    layout.topDown = raw.height < 0;
    layout.height = layout.topDown ? -raw.height : raw.height;
    if (layout.width > kMaxBitmapSide || layout.height > kMaxBitmapSide) {
        detail = "side larger than " + std::to_string(kMaxBitmapSide);
        return std::nullopt;
    }
    if (!isKnownBitCount(raw.bitCount)) {
        detail = "bit count " + std::to_string(raw.bitCount);
        return std::nullopt;
    }
    layout.bitCount = raw.bitCount;
    if (!compressionFits(raw.compression, raw.bitCount)) {
        detail = "compression " + std::to_string(raw.compression) + " not supported";
        return std::nullopt;
    }
    if (raw.bitCount <= 8 && raw.coloursUsed > (1u << raw.bitCount)) {
        detail = "colour count " + std::to_string(raw.coloursUsed);
        return std::nullopt;
    }
    std::uint64_t headersEnd = kFileHeaderSize + raw.headerSize;
    if (raw.headerSize == kInfoHeaderSize && raw.compression == kCompressionBitFields) {
        headersEnd += kBitFieldMasksSize;
    }
    // The colour table is not read (the pixels are returned as indices), so only the pixel
    // offset has to lie beyond the headers.
    if (raw.pixelOffset < headersEnd || raw.pixelOffset > fileSize) {
        detail = "pixel offset " + std::to_string(raw.pixelOffset) + " outside the file";
        return std::nullopt;
    }
    layout.pixelOffset = raw.pixelOffset;
    // Sides are at most kMaxBitmapSide, so these products cannot overflow 64 bits.
    layout.rowStride
        = ((std::uint64_t(layout.width) * std::uint64_t(layout.bitCount) + 31) / 32) * 4;
    const std::uint64_t pixelBytes = layout.rowStride * std::uint64_t(layout.height);
    if (pixelBytes > fileSize - layout.pixelOffset) {
        detail = "pixel data truncated";
        return std::nullopt;
    }
    return layout;
}

// Validates the headers found in `head` (the first bytes of a file of `fileSize` bytes), all
// but the pixel depth.
std::optional<Layout> inspectLayout(
    std::span<const std::uint8_t> head, std::uint64_t fileSize, std::string& detail)
{
    const LittleEndianReader in(head);
    const auto raw = readRawHeader(in, fileSize, detail);
    return raw ? checkLayout(*raw, fileSize, detail) : std::nullopt;
}

// Validates the headers as those of an 8-bit bitmap.
std::optional<Layout> inspect(
    std::span<const std::uint8_t> head, std::uint64_t fileSize, GreyBitmapResult& failureResult)
{
    std::string detail;
    const auto layout = inspectLayout(head, fileSize, detail);
    if (!layout) {
        failureResult = unreadable(std::move(detail));
        return std::nullopt;
    }
    if (layout->bitCount != 8) {
        failureResult = failure(
            BitmapError::NotEightBit, std::to_string(layout->bitCount) + " bits per pixel");
        return std::nullopt;
    }
    return layout;
}

// The rows of the pixels, packed and bottom row first, of a bitmap whose layout was checked.
template <typename Bitmap>
Bitmap copyPixels(std::span<const std::uint8_t> fileBytes, const Layout& layout)
{
    Bitmap bitmap;
    bitmap.width = static_cast<int>(layout.width);
    bitmap.height = static_cast<int>(layout.height);
    const auto rowBytes = static_cast<std::size_t>(layout.width) * std::size_t(layout.bitCount / 8);
    const auto height = static_cast<std::size_t>(layout.height);
    bitmap.pixels.resize(rowBytes * height);
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t fileRow = layout.topDown ? height - 1 - row : row;
        const std::uint8_t* from
            = fileBytes.data() + layout.pixelOffset + fileRow * layout.rowStride;
        std::memcpy(bitmap.pixels.data() + row * rowBytes, from, rowBytes);
    }
    return bitmap;
}

// Fills bytes from the start of the file; false when they cannot all be read.
bool readFileStart(std::ifstream& in, std::vector<std::uint8_t>& bytes)
{
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return in.gcount() == static_cast<std::streamsize>(bytes.size());
}

// Largest file readColourBitmapFile reads: the pixels of the largest 24-bit bitmap, padded
// rows, plus 64 KiB for headers and any gap before the pixels.
constexpr std::uint64_t kMaxColourBitmapFileBytes
    = std::uint64_t(oskel::kMaxColourBitmapSide) * (oskel::kMaxColourBitmapSide * 3 + 3) + 65536;

} // namespace

namespace oskel {

GreyBitmapResult readGreyBitmap(std::span<const std::uint8_t> fileBytes)
{
    GreyBitmapResult result;
    const auto layout = inspect(fileBytes, fileBytes.size(), result);
    if (layout) {
        result.bitmap = copyPixels<GreyBitmap>(fileBytes, *layout);
    }
    return result;
}

GreyBitmapResult readGreyBitmapFile(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return unreadable("not a file: " + path.string());
    }
    const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
    if (error) {
        return unreadable("cannot read " + path.string());
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return unreadable("cannot open " + path.string());
    }
    // A file above the cap cannot be an accepted 8-bit bitmap; only its headers are read, to
    // tell a picture of another depth from an unreadable one.
    const bool tooLarge = fileSize > kMaxBitmapFileBytes;
    std::vector<std::uint8_t> bytes(
        tooLarge ? std::min<std::uint64_t>(fileSize, kHeadBytes) : fileSize);
    if (!readFileStart(in, bytes)) {
        return unreadable("cannot read " + path.string());
    }
    if (!tooLarge) {
        return readGreyBitmap(bytes);
    }
    GreyBitmapResult result;
    if (inspect(bytes, fileSize, result)) {
        result = unreadable("file too large");
    }
    return result;
}

std::optional<ColourBitmap> readColourBitmap(std::span<const std::uint8_t> fileBytes)
{
    std::string detail;
    const auto layout = inspectLayout(fileBytes, fileBytes.size(), detail);
    if (!layout || layout->bitCount != 24 || layout->width > kMaxColourBitmapSide
        || layout->height > kMaxColourBitmapSide) {
        return std::nullopt;
    }
    return copyPixels<ColourBitmap>(fileBytes, *layout);
}

std::optional<ColourBitmap> readColourBitmapFile(const std::filesystem::path& path)
{
    std::error_code error;
    const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
    if (error || fileSize > kMaxColourBitmapFileBytes) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(fileSize);
    if (!in || !readFileStart(in, bytes)) {
        return std::nullopt;
    }
    return readColourBitmap(bytes);
}

} // namespace oskel
