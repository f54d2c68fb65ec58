#include <gtest/gtest.h>

#include "render/gl/colour_bitmap.h"
#include "support/bmp_writer.h"

namespace oskel::test {
namespace {

// 3 x 2 pixels: rows of 9 bytes, padded to 12 in the file.
const std::vector<std::uint8_t> kPixels = {
    1, 2, 3, 4, 5, 6, 7, 8, 9, // bottom row
    10, 11, 12, 13, 14, 15, 16, 17, 18, // top row
};

TEST(ColourBitmap, ReadsPaddedRowsBottomRowFirstWhateverTheFileOrder)
{
    for (const BmpOptions& options : { BmpOptions {}, BmpOptions { .topDown = true },
             BmpOptions { .headerSize = 12 }, BmpOptions { .headerSize = 124, .gapBytes = 5 } }) {
        const std::optional<ColourBitmap> bitmap
            = readColourBitmap(makeBmp(3, 2, 24, kPixels, options));
        ASSERT_TRUE(bitmap.has_value()) << "header " << options.headerSize;
        EXPECT_EQ(bitmap->width, 3);
        EXPECT_EQ(bitmap->height, 2);
        EXPECT_EQ(bitmap->pixels, kPixels);
    }
}

TEST(ColourBitmap, RefusesWhatIsNotAWholeUncompressed24BitPicture)
{
    const std::vector<std::uint8_t> good = makeBmp(3, 2, 24, kPixels);
    auto truncated = good;
    truncated.resize(truncated.size() - 4); // the last row's padding and one byte of pixels
    auto compressed = good;
    putLe32(compressed, kBmpCompressionField, 1);
    auto huge = good;
    putLe32(huge, kBmpWidthField, 100000);
    auto pixelsPastTheEnd = good;
    putLe32(pixelsPastTheEnd, kBmpPixelOffsetField, 0xFFFFFFF0u);
    auto unknownHeader = good;
    putLe32(unknownHeader, kBmpHeaderSizeField, 20);
    for (const auto& bytes : { truncated, compressed, huge, pixelsPastTheEnd, unknownHeader,
             makeBmp(4, 2, 8, std::vector<std::uint8_t>(8)),
             std::vector<std::uint8_t> { 'B', 'M' } }) {
        EXPECT_FALSE(readColourBitmap(bytes).has_value());
    }
}

} // namespace
} // namespace oskel::test
