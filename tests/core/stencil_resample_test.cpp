#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/stencil_resample.h"

namespace {

using namespace oskel;

struct ResampleCase {
    std::string name;
    GreyBitmap source;
    int targetWidth;
    int targetHeight;
    std::vector<std::uint8_t> expected; // worked out by hand from the rules, rows bottom-up
};

void PrintTo(const ResampleCase& c, std::ostream* out)
{
    *out << c.name;
}

class StencilResample : public ::testing::TestWithParam<ResampleCase> { };

TEST_P(StencilResample, MatchesValuesWorkedOutByHand)
{
    const ResampleCase& c = GetParam();
    EXPECT_EQ(resampleStencil(c.source, c.targetWidth, c.targetHeight), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, StencilResample,
    ::testing::Values(
        // Footprints of exactly two pixels: means 1.5, 2.5, 10.5, 7; halves go to the even
        // side.
        ResampleCase { "DownAcrossHalvesToEven", { 8, 1, { 1, 2, 2, 3, 10, 11, 6, 8 } }, 4, 1,
            { 2, 2, 10, 7 } },
        // Footprints [0, 1.5) and [1.5, 3): (10 + 0.5 * 50) / 1.5 = 23.3, (0.5 * 50 + 200)
        // / 1.5 = 150.
        ResampleCase {
            "DownAcrossFractionalFootprints", { 3, 1, { 10, 50, 200 } }, 2, 1, { 23, 150 } },
        ResampleCase {
            "DownVerticallyFractionalFootprints", { 1, 3, { 10, 50, 200 } }, 1, 2, { 23, 150 } },
        // p = 0, 0.5, 1, 1.5: clamped pixel 0; exactly pixel 0; halfway (50.5 -> 50); pixel 1.
        ResampleCase { "UpAcrossByTwo", { 2, 1, { 0, 101 } }, 4, 1, { 0, 0, 50, 101 } },
        // p = 0, 0.6, 1.2, 1.8, 2.4: weights of the upper pixel 0.1 (of 0-1), 0.7 (of 0-1),
        // 0.3 (of 1-2), 0.9 (of 1-2); 111.5 -> 112 and 234.5 -> 234.
        ResampleCase {
            "UpAcrossThreeToFive", { 3, 1, { 0, 50, 255 } }, 5, 1, { 0, 5, 35, 112, 234 } },
        ResampleCase {
            "UpVerticallyThreeToFive", { 1, 3, { 0, 50, 255 } }, 1, 5, { 0, 5, 35, 112, 234 } },
        // Across: pairs averaged, rows {15, 35} and {75, 95}. Down 2 -> 3: p = 0, 2/3, 4/3 with
        // upper weights 1/6 and 5/6: 15, 25, 65 and 35, 45, 85.
        ResampleCase { "DownAcrossUpVertically", { 4, 2, { 10, 20, 30, 40, 70, 80, 90, 100 } }, 2,
            3, { 15, 35, 25, 45, 65, 85 } },
        // Across 2 -> 3 (p = 0, 2/3, 4/3) rounds each row: {0, 17, 84}, {20, 22, 29}, {7, 7,
        // 8}, {200, 168, 41}; then pairs of rows: 10, 19.5, 56.5 and 103.5, 87.5, 24.5. Without
        // the rounding between the passes, or scaling down first, the second value would be 19.
        ResampleCase { "UpAcrossDownVerticallyRoundsBetweenPasses",
            { 2, 4, { 0, 101, 20, 31, 7, 8, 200, 9 } }, 3, 2, { 10, 20, 56, 104, 88, 24 } }),
    [](const auto& testInfo) { return testInfo.param.name; });

TEST(StencilResampleSizes, SameSizeIsCopiedUnchanged)
{
    const GreyBitmap source { 3, 2, { 0, 255, 7, 128, 1, 254 } };
    EXPECT_EQ(resampleStencil(source, 3, 2), source.pixels);
}

// Every target pixel's weights must add up to one, whatever the ratio: a flat source stays
// flat.
TEST(StencilResampleSizes, FlatSourceStaysFlatAtAnySize)
{
    const struct {
        int sourceWidth, sourceHeight, targetWidth, targetHeight;
    } sizes[] = {
        { 1, 1, 5, 3 },
        { 5, 3, 1, 1 },
        { 720, 576, 384, 288 },
        { 13, 7, 40, 30 },
        { 40, 30, 7, 5 },
        { 7, 11, 11, 7 },
        { 3, 1000, 1000, 3 },
    };
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.sourceWidth) + "x" + std::to_string(size.sourceHeight)
            + " -> " + std::to_string(size.targetWidth) + "x" + std::to_string(size.targetHeight));
        const GreyBitmap source { size.sourceWidth, size.sourceHeight,
            std::vector<std::uint8_t>(std::size_t(size.sourceWidth) * size.sourceHeight, 173) };
        const std::vector<std::uint8_t> expected(
            std::size_t(size.targetWidth) * size.targetHeight, 173);
        EXPECT_EQ(resampleStencil(source, size.targetWidth, size.targetHeight), expected);
    }
}

TEST(StencilResampleSizes, NoTargetOrNoSourceGivesNothing)
{
    const GreyBitmap source { 2, 2, { 1, 2, 3, 4 } };
    EXPECT_TRUE(resampleStencil(source, 0, 2).empty());
    EXPECT_TRUE(resampleStencil(source, 2, -1).empty());
    EXPECT_TRUE(resampleStencil(GreyBitmap {}, 4, 4).empty());
    EXPECT_TRUE(resampleStencil(GreyBitmap { 2, 2, { 1, 2, 3 } }, 4, 4).empty());
}

} // namespace
