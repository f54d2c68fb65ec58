#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/bitmap_file.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

namespace {

using namespace oskel;

using test::BmpOptions;
using test::makeBmp;
using test::putLe16;
using test::putLe32;

// Distinct values in every row and column, so a row read from the wrong place shows.
std::vector<std::uint8_t> patternPixels(int width, int height)
{
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(static_cast<std::uint8_t>(1 + x * 7 + y * 31));
        }
    }
    return pixels;
}

struct ReadCase {
    std::string name;
    int width;
    int height;
    BmpOptions options;
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.name;
}

class BitmapFileRead : public ::testing::TestWithParam<ReadCase> { };

TEST_P(BitmapFileRead, ReturnsTheIndicesBottomRowFirstWithoutPadding)
{
    const ReadCase& c = GetParam();
    const auto pixels = patternPixels(c.width, c.height);

    const GreyBitmapResult result
        = readGreyBitmap(makeBmp(c.width, c.height, 8, pixels, c.options));

    ASSERT_EQ(result.error, BitmapError::None) << result.detail;
    EXPECT_EQ(result.bitmap.width, c.width);
    EXPECT_EQ(result.bitmap.height, c.height);
    EXPECT_EQ(result.bitmap.pixels, pixels);
}

INSTANTIATE_TEST_SUITE_P(Layouts, BitmapFileRead,
    ::testing::Values(ReadCase { "OnePixel", 1, 1, {} },
        ReadCase { "OddWidthOnePadByte", 3, 2, {} }, ReadCase { "WidthWithoutPadding", 4, 3, {} },
        ReadCase { "OddWidthThreePadBytes", 5, 3, {} },
        ReadCase { "TopDown", 5, 3, { .topDown = true } },
        ReadCase { "CoreHeader", 7, 2, { .headerSize = 12 } },
        ReadCase { "V4HeaderTopDown", 6, 3, { .topDown = true, .headerSize = 108 } },
        ReadCase { "V5Header", 3, 4, { .headerSize = 124 } },
        ReadCase { "GapBeforePixels", 3, 2, { .gapBytes = 5 } }),
    [](const auto& testInfo) { return testInfo.param.name; });

TEST(BitmapFile, ReadsAHandWrittenTopDownFile)
{
    // 2 x 2, 8 bits, two colours in the table, rows padded to 4 bytes, top row first.
    const std::vector<std::uint8_t> file = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, // file header, pixels at 62
        40, 0, 0, 0, 2, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, // header size, width 2, height -2
        1, 0, 8, 0, 0, 0, 0, 0, 8, 0, 0, 0, // planes, bit count, uncompressed, image size
        0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, // resolution, two colours used
        0, 0, 0, 0, 255, 255, 255, 0, // colour table
        1, 2, 0xEE, 0xEE, // top row and its padding
        3, 4, 0xEE, 0xEE, // bottom row
    };

    const GreyBitmapResult result = readGreyBitmap(file);

    ASSERT_EQ(result.error, BitmapError::None) << result.detail;
    EXPECT_EQ(result.bitmap.width, 2);
    EXPECT_EQ(result.bitmap.height, 2);
    EXPECT_EQ(result.bitmap.pixels, (std::vector<std::uint8_t> { 3, 4, 1, 2 }));
}

// A valid 3 x 2 8-bit file with a 40-byte header: pixels at 1078, 8 bytes of pixels, 1086
// bytes.
std::vector<std::uint8_t> validFile()
{
    return makeBmp(3, 2, 8, patternPixels(3, 2));
}

constexpr std::size_t kValidPixelOffset = 14 + 40 + 1024;

struct CorruptCase {
    std::string name;
    std::function<void(std::vector<std::uint8_t>&)> corrupt;
};

void PrintTo(const CorruptCase& c, std::ostream* out)
{
    *out << c.name;
}

class BitmapFileCorrupt : public ::testing::TestWithParam<CorruptCase> { };

TEST_P(BitmapFileCorrupt, IsUnreadable)
{
    std::vector<std::uint8_t> file = validFile();
    GetParam().corrupt(file);

    const GreyBitmapResult result = readGreyBitmap(file);

    EXPECT_EQ(result.error, BitmapError::Unreadable);
    EXPECT_FALSE(result.detail.empty());
    EXPECT_TRUE(result.bitmap.pixels.empty());
}

auto truncateTo(std::size_t size)
{
    return [size](std::vector<std::uint8_t>& file) { file.resize(size); };
}

auto set32(std::size_t offset, std::uint32_t value)
{
    return [offset, value](std::vector<std::uint8_t>& file) { putLe32(file, offset, value); };
}

auto set16(std::size_t offset, std::uint16_t value)
{
    return [offset, value](std::vector<std::uint8_t>& file) { putLe16(file, offset, value); };
}

auto replaceWith(std::vector<std::uint8_t> other, std::size_t keep)
{
    return [other, keep](std::vector<std::uint8_t>& file) {
        file.assign(other.begin(), other.begin() + static_cast<std::ptrdiff_t>(keep));
    };
}

std::uint32_t asField(std::int32_t value)
{
    return static_cast<std::uint32_t>(value);
}

INSTANTIATE_TEST_SUITE_P(Variants, BitmapFileCorrupt,
    ::testing::Values(CorruptCase { "Empty", truncateTo(0) },
        CorruptCase { "TruncatedInFileHeader", truncateTo(10) },
        CorruptCase { "TruncatedInInfoHeader", truncateTo(30) },
        CorruptCase { "TruncatedAtPixels", truncateTo(kValidPixelOffset) },
        CorruptCase { "TruncatedInFirstRow", truncateTo(kValidPixelOffset + 2) },
        CorruptCase { "LastRowPaddingMissing", truncateTo(kValidPixelOffset + 7) },
        CorruptCase { "NoSignature", [](auto& file) { file[1] = 'A'; } },
        CorruptCase { "HeaderSizeZero", set32(test::kBmpHeaderSizeField, 0) },
        CorruptCase { "HeaderSizeUnknown", set32(test::kBmpHeaderSizeField, 20) },
        CorruptCase { "HeaderSizeHuge", set32(test::kBmpHeaderSizeField, 0xFFFFFFFF) },
        CorruptCase { "PixelOffsetPastEnd", set32(test::kBmpPixelOffsetField, 1087) },
        CorruptCase { "PixelOffsetLeavesTooFewBytes", set32(test::kBmpPixelOffsetField, 1080) },
        CorruptCase { "PixelOffsetHuge", set32(test::kBmpPixelOffsetField, 0xFFFFFFFF) },
        CorruptCase { "PixelOffsetInsideHeader", set32(test::kBmpPixelOffsetField, 20) },
        CorruptCase { "WidthZero", set32(test::kBmpWidthField, 0) },
        CorruptCase { "WidthNegative", set32(test::kBmpWidthField, asField(-3)) },
        CorruptCase { "HeightZero", set32(test::kBmpHeightField, 0) },
        CorruptCase { "WidthAboveLimit", set32(test::kBmpWidthField, kMaxBitmapSide + 1) },
        CorruptCase {
            "TopDownHeightAboveLimit", set32(test::kBmpHeightField, asField(-kMaxBitmapSide - 1)) },
        CorruptCase { "HeightMostNegative", set32(test::kBmpHeightField, 0x80000000) },
        CorruptCase { "WidthHuge", set32(test::kBmpWidthField, 0x7FFFFFFF) },
        CorruptCase { "LargestSidesWithoutTheirPixels",
            [](auto& file) {
                putLe32(file, test::kBmpWidthField, kMaxBitmapSide);
                putLe32(file, test::kBmpHeightField, kMaxBitmapSide);
            } },
        CorruptCase { "PlanesZero", set16(test::kBmpPlanesField, 0) },
        CorruptCase { "PlanesTwo", set16(test::kBmpPlanesField, 2) },
        CorruptCase { "RunLength8", set32(test::kBmpCompressionField, 1) },
        CorruptCase { "RunLength4", set32(test::kBmpCompressionField, 2) },
        CorruptCase { "BitFieldsAtEightBits", set32(test::kBmpCompressionField, 3) },
        CorruptCase { "EmbeddedJpeg", set32(test::kBmpCompressionField, 4) },
        CorruptCase { "BitCountZero", set16(test::kBmpBitCountField, 0) },
        CorruptCase { "BitCountSeven", set16(test::kBmpBitCountField, 7) },
        CorruptCase { "MoreColoursThanTheDepthHolds", set32(test::kBmpColoursUsedField, 257) },
        // Truncated bitmaps of another depth are not mistaken for readable ones.
        CorruptCase { "Truncated24Bit",
            replaceWith(makeBmp(3, 2, 24, std::vector<std::uint8_t>(18, 9)), 54 + 10) },
        CorruptCase { "TruncatedCoreHeader",
            replaceWith(makeBmp(3, 2, 8, patternPixels(3, 2), { .headerSize = 12 }), 20) }),
    [](const auto& testInfo) { return testInfo.param.name; });

struct DepthCase {
    int bitsPerPixel;
    int headerSize;
};

void PrintTo(const DepthCase& c, std::ostream* out)
{
    *out << c.bitsPerPixel << " bits, " << c.headerSize << "-byte header";
}

class BitmapFileOtherDepth : public ::testing::TestWithParam<DepthCase> { };

TEST_P(BitmapFileOtherDepth, IsNotEightBit)
{
    const auto [bits, headerSize] = GetParam();
    const int width = 3;
    const int height = 2;
    const std::vector<std::uint8_t> pixels(std::size_t((width * bits + 7) / 8) * height, 0x5A);

    const GreyBitmapResult result
        = readGreyBitmap(makeBmp(width, height, bits, pixels, { .headerSize = headerSize }));

    EXPECT_EQ(result.error, BitmapError::NotEightBit) << result.detail;
    EXPECT_TRUE(result.bitmap.pixels.empty());
}

INSTANTIATE_TEST_SUITE_P(Depths, BitmapFileOtherDepth,
    ::testing::Values(DepthCase { 1, 40 }, DepthCase { 4, 40 }, DepthCase { 16, 40 },
        DepthCase { 24, 40 }, DepthCase { 32, 124 }, DepthCase { 24, 12 }),
    [](const auto& testInfo) {
        return std::to_string(testInfo.param.bitsPerPixel) + "BitsHeader"
            + std::to_string(testInfo.param.headerSize);
    });

TEST(BitmapFile, ReadsAFile)
{
    const test::TempDir dir;
    const auto pixels = patternPixels(5, 3);
    test::writeBytesToFile(dir / "stencil.bmp", makeBmp(5, 3, 8, pixels, { .topDown = true }));

    const GreyBitmapResult result = readGreyBitmapFile(dir / "stencil.bmp");

    ASSERT_EQ(result.error, BitmapError::None) << result.detail;
    EXPECT_EQ(result.bitmap.width, 5);
    EXPECT_EQ(result.bitmap.pixels, pixels);
}

TEST(BitmapFile, MissingFileOrFolderIsUnreadable)
{
    const test::TempDir dir;
    EXPECT_EQ(readGreyBitmapFile(dir / "absent.bmp").error, BitmapError::Unreadable);
    EXPECT_EQ(readGreyBitmapFile(dir.path()).error, BitmapError::Unreadable);
}

// Files beyond the cap are grown sparsely, so the test writes almost nothing to disk.
TEST(BitmapFile, FileAboveTheCapIsJudgedByItsHeaders)
{
    const test::TempDir dir;

    const auto eightBit = dir / "eight.bmp";
    test::writeBytesToFile(eightBit, validFile());
    std::filesystem::resize_file(eightBit, kMaxBitmapFileBytes + 1);
    EXPECT_EQ(readGreyBitmap(validFile()).error, BitmapError::None);
    EXPECT_EQ(readGreyBitmapFile(eightBit).error, BitmapError::Unreadable);

    // A 24-bit picture of 12000 x 8000 needs 288 000 000 bytes of pixels, above the cap.
    auto header = makeBmp(1, 1, 24, { 1, 2, 3 });
    putLe32(header, test::kBmpWidthField, 12000);
    putLe32(header, test::kBmpHeightField, 8000);
    const auto deep = dir / "deep.bmp";
    test::writeBytesToFile(deep, header);
    std::filesystem::resize_file(deep, 54 + 288'000'000);
    ASSERT_GT(std::filesystem::file_size(deep), kMaxBitmapFileBytes);
    EXPECT_EQ(readGreyBitmapFile(deep).error, BitmapError::NotEightBit);

    std::filesystem::resize_file(deep, 54 + 288'000'000 - 1);
    EXPECT_EQ(readGreyBitmapFile(deep).error, BitmapError::Unreadable);
}

// 3 x 2 colour pixels: rows of 9 bytes, padded to 12 in the file.
const std::vector<std::uint8_t> kColourPixels = {
    1, 2, 3, 4, 5, 6, 7, 8, 9, // bottom row
    10, 11, 12, 13, 14, 15, 16, 17, 18, // top row
};

TEST(ColourBitmap, ReadsPaddedRowsBottomRowFirstWhateverTheFileOrder)
{
    for (const BmpOptions& options : { BmpOptions {}, BmpOptions { .topDown = true },
             BmpOptions { .headerSize = 12 }, BmpOptions { .headerSize = 124, .gapBytes = 5 } }) {
        const std::optional<ColourBitmap> bitmap
            = readColourBitmap(makeBmp(3, 2, 24, kColourPixels, options));
        ASSERT_TRUE(bitmap.has_value()) << "header " << options.headerSize;
        EXPECT_EQ(bitmap->width, 3);
        EXPECT_EQ(bitmap->height, 2);
        EXPECT_EQ(bitmap->pixels, kColourPixels);
    }
}

TEST(ColourBitmap, RefusesWhatIsNotAWholeUncompressed24BitPicture)
{
    const std::vector<std::uint8_t> good = makeBmp(3, 2, 24, kColourPixels);
    auto truncated = good;
    truncated.resize(truncated.size() - 4); // the last row's padding and one byte of pixels
    auto compressed = good;
    putLe32(compressed, test::kBmpCompressionField, 1);
    auto huge = good;
    putLe32(huge, test::kBmpWidthField, 100000);
    auto aboveTheColourSide = good;
    putLe32(aboveTheColourSide, test::kBmpWidthField, kMaxColourBitmapSide + 1);
    auto pixelsPastTheEnd = good;
    putLe32(pixelsPastTheEnd, test::kBmpPixelOffsetField, 0xFFFFFFF0u);
    auto unknownHeader = good;
    putLe32(unknownHeader, test::kBmpHeaderSizeField, 20);
    for (const auto& bytes : { truncated, compressed, huge, aboveTheColourSide, pixelsPastTheEnd,
             unknownHeader, makeBmp(4, 2, 8, std::vector<std::uint8_t>(8)),
             std::vector<std::uint8_t> { 'B', 'M' } }) {
        EXPECT_FALSE(readColourBitmap(bytes).has_value());
    }
}

TEST(ColourBitmap, ReadsAFileAndNothingFromAMissingOne)
{
    const test::TempDir dir;
    const auto file = dir / "picture.bmp";
    test::writeBytesToFile(file, makeBmp(3, 2, 24, kColourPixels, BmpOptions { .topDown = true }));
    const std::optional<ColourBitmap> bitmap = readColourBitmapFile(file);
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(bitmap->pixels, kColourPixels);
    EXPECT_FALSE(readColourBitmapFile(dir / "absent.bmp").has_value());
}

} // namespace
