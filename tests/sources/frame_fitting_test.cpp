#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sources/frame_fitting.h"

namespace oskel {
namespace {

struct SizeCase {
    FrameSize clip;
    FrameSize delivered;
};

TEST(FrameFitting, DeliveredSizeHalvesLargeClipsThenFitsWhatIsStillTooLarge)
{
    const SizeCase cases[] = {
        { { 720, 576 }, { 360, 288 } }, // halved, fits
        { { 384, 288 }, { 384, 288 } }, // the largest full size
        { { 385, 200 }, { 192, 100 } }, // wider than 384: halved
        { { 300, 289 }, { 150, 144 } }, // taller than 288: halved
        { { 721, 301 }, { 360, 150 } }, // odd sides: integer division
        { { 1280, 720 }, { 384, 216 } }, // 640 x 360 still too wide: fitted, aspect kept
        { { 1920, 1080 }, { 384, 216 } },
        { { 800, 1200 }, { 192, 288 } }, // 400 x 600 too tall
        { { 4000, 100 }, { 384, 10 } }, // 2000 x 50: 9.6 rows round to 10
        { { 40000, 2 }, { 384, 1 } }, // never less than a row
        { { 1, 513 }, { 1, 256 } }, // nor less than a column
        { { 1000, 1 }, { 384, 1 } },
        { { 16, 16 }, { 16, 16 } },
    };
    for (const SizeCase& c : cases) {
        const FrameSize delivered = deliveredSize(c.clip);
        EXPECT_EQ(delivered.width, c.delivered.width) << c.clip.width << "x" << c.clip.height;
        EXPECT_EQ(delivered.height, c.delivered.height) << c.clip.width << "x" << c.clip.height;
    }
}

// Composing larger than 384 x 288, clips keep their own pixels up to 1920 x 1080; their size
// in the 384 x 288 area is the size they would have at 384 x 288.
TEST(FrameFitting, ALargerCompositionKeepsTheClipsOwnPixelsUpTo1920x1080)
{
    struct FullCase {
        FrameSize clip;
        FrameSize delivered;
        FrameSize area;
    };
    const FrameLimits full = frameLimitsFor({ 1280, 720 });
    EXPECT_EQ(frameLimitsFor({ 384, 288 }), kStandardFrameLimits);
    EXPECT_EQ(frameLimitsFor({ 192, 144 }), kStandardFrameLimits);
    EXPECT_EQ(frameLimitsFor({ 385, 288 }), full);
    const FullCase cases[] = {
        { { 1280, 720 }, { 1280, 720 }, { 384, 216 } }, // no halving
        { { 720, 576 }, { 720, 576 }, { 360, 288 } },
        { { 1920, 1080 }, { 1920, 1080 }, { 384, 216 } },
        { { 3840, 2160 }, { 1920, 1080 }, { 384, 216 } }, // fitted, not halved
        { { 1080, 1920 }, { 608, 1080 }, { 162, 288 } }, // too tall: fitted, aspect kept
        { { 200, 100 }, { 200, 100 }, { 200, 100 } },
    };
    for (const FullCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.clip.width) + "x" + std::to_string(c.clip.height));
        const FrameSize delivered = deliveredSize(c.clip, full);
        EXPECT_EQ(delivered, c.delivered);
        EXPECT_EQ(areaSizeOf(delivered), c.area);
        EXPECT_EQ(areaSizeOf(delivered), deliveredSize(c.clip)) << "as at 384 x 288";
    }
}

std::vector<std::uint8_t> numberedPixels(FrameSize size)
{
    // Each pixel holds its column, its row and a constant, so that the picked one is known.
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            pixels.insert(pixels.end(), { std::uint8_t(x), std::uint8_t(y), 7 });
        }
    }
    return pixels;
}

TEST(FrameFitting, HalvingTakesEverySecondPixelOfEverySecondRowFromTheFirst)
{
    const FrameSize size { 7, 5 }; // odd sides: the last column and row are dropped
    const std::vector<std::uint8_t> source = numberedPixels(size);
    std::vector<std::uint8_t> half(3 * 3 * 2);
    halveFrame(source.data(), 3 * size.width, size, half.data());
    const std::vector<std::uint8_t> expected { 0, 0, 7, 2, 0, 7, 4, 0, 7, //
        0, 2, 7, 2, 2, 7, 4, 2, 7 };
    EXPECT_EQ(half, expected);
}

TEST(FrameFitting, HalvingWithANegativeStrideCountsRowsFromTheLast)
{
    const FrameSize size { 4, 4 };
    const std::vector<std::uint8_t> source = numberedPixels(size);
    std::vector<std::uint8_t> half(2 * 2 * 3);
    halveFrame(source.data() + 3 * 4 * 3, -3 * 4, size, half.data());
    // Stored rows 3 and 1, in that order.
    const std::vector<std::uint8_t> expected { 0, 3, 7, 2, 3, 7, 0, 1, 7, 2, 1, 7 };
    EXPECT_EQ(half, expected);
}

TEST(FrameFitting, AreaScalingAveragesTheCoveredArea)
{
    // 4 x 2 down to 2 x 1: each output pixel is the mean of a 2 x 2 block.
    const std::vector<std::uint8_t> source { 0, 10, 20, 4, 14, 24, 100, 0, 0, 200, 0, 0, 8, 18, 28,
        12, 22, 32, 0, 0, 0, 100, 0, 0 };
    std::vector<std::uint8_t> target(2 * 3);
    AreaScaler({ 4, 2 }, { 2, 1 }).scale(source.data(), target.data());
    const std::vector<std::uint8_t> expected { 6, 16, 26, 100, 0, 0 };
    EXPECT_EQ(target, expected);
}

TEST(FrameFitting, AreaScalingByAFractionWeighsPartlyCoveredPixels)
{
    // Three pixels into two: the middle one is shared half and half.
    const std::vector<std::uint8_t> source { 30, 30, 30, 90, 90, 90, 150, 150, 150 };
    std::vector<std::uint8_t> target(2 * 3);
    AreaScaler({ 3, 1 }, { 2, 1 }).scale(source.data(), target.data());
    const std::vector<std::uint8_t> expected { 50, 50, 50, 130, 130, 130 };
    EXPECT_EQ(target, expected);
}

TEST(FrameFitting, AreaScalingKeepsAUniformPictureUniform)
{
    const FrameSize from { 640, 360 };
    const FrameSize to = fittedSize(from);
    const std::vector<std::uint8_t> source(std::size_t(from.width) * from.height * 3, 255);
    std::vector<std::uint8_t> target(std::size_t(to.width) * to.height * 3, 0);
    AreaScaler(from, to).scale(source.data(), target.data());
    for (const std::uint8_t value : target) {
        ASSERT_EQ(value, 255);
    }
}

} // namespace
} // namespace oskel
