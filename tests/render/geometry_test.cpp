#include <cmath>
#include <limits>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "render/rotation_timing.h"
#include "render/texture_layout.h"
#include "render/tile_grid.h"
#include "render/trails_fade.h"
#include "render/viewport_fit.h"

namespace {

using namespace oskel;

struct LayoutCase {
    const char* name;
    int width;
    int height;
    TextureLayout expected;
};

class TextureLayoutFor : public ::testing::TestWithParam<LayoutCase> { };

TEST_P(TextureLayoutFor, FollowsTheSizeRules)
{
    const LayoutCase& c = GetParam();
    const TextureLayout layout = textureLayoutFor(c.width, c.height);
    EXPECT_EQ(layout.flatEdge, c.expected.flatEdge);
    EXPECT_FLOAT_EQ(layout.sMax, c.expected.sMax);
    EXPECT_FLOAT_EQ(layout.tMax, c.expected.tMax);
    EXPECT_EQ(layout.tileEdge, c.expected.tileEdge);
    EXPECT_EQ(layout.tileX, c.expected.tileX);
    EXPECT_EQ(layout.tileY, c.expected.tileY);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextureLayoutFor,
    ::testing::Values(
        LayoutCase { "Clip320x240", 320, 240, { 512, 0.625f, 0.46875f, 128, 96, 56 } },
        // Only the lower left 384 x 288 texels are shown.
        LayoutCase { "Clip400x300", 400, 300, { 512, 0.75f, 0.5625f, 256, 72, 22 } },
        LayoutCase { "Clip200x150", 200, 150, { 256, 0.75f, 0.5625f, 128, 36, 11 } },
        // A side of exactly a power of two still gets the next one up.
        LayoutCase { "Clip256x256", 256, 256, { 512, 0.5f, 0.5f, 256, 0, 0 } },
        LayoutCase { "Clip384x288", 384, 288, { 512, 0.75f, 0.5625f, 256, 64, 16 } },
        LayoutCase { "OnePixel", 1, 1, { 2, 0.5f, 0.5f, 1, 0, 0 } },
        LayoutCase { "OddCentreHalvesDown", 13, 7, { 16, 0.75f, 0.4375f, 4, 4, 1 } },
        // Larger frames keep the 512 cap; so does the tile, the most the buffers hold.
        LayoutCase { "Frame1024x768", 1024, 768, { 512, 0.75f, 0.5625f, 512, 256, 128 } },
        LayoutCase { "Frame4096x4096", 4096, 4096, { 512, 0.75f, 0.5625f, 512, 1792, 1792 } },
        LayoutCase { "ZeroWidth", 0, 240, { 0, 1.0f, 1.0f, 0, 0, 0 } },
        LayoutCase { "ZeroHeight", 320, 0, { 0, 1.0f, 1.0f, 0, 0, 0 } },
        LayoutCase { "Negative", -320, 240, { 0, 1.0f, 1.0f, 0, 0, 0 } }),
    [](const ::testing::TestParamInfo<LayoutCase>& tested) {
        return std::string(tested.param.name);
    });

struct ViewportCase {
    const char* name;
    bool manual;
    int aspectX;
    int aspectY;
    Viewport expected;
};

class FitViewport : public ::testing::TestWithParam<ViewportCase> { };

TEST_P(FitViewport, CentresTheOutputAspectInTheDisplayArea)
{
    const ViewportCase& c = GetParam();
    DisplayOptions display;
    display.manualPreviewSize = c.manual;
    display.previewAspectX = c.aspectX;
    display.previewAspectY = c.aspectY;
    const Viewport viewport = fitViewport(display);
    EXPECT_EQ(viewport.x, c.expected.x);
    EXPECT_EQ(viewport.y, c.expected.y);
    EXPECT_EQ(viewport.width, c.expected.width);
    EXPECT_EQ(viewport.height, c.expected.height);
    EXPECT_FLOAT_EQ(viewport.aspect, c.expected.aspect);
}

INSTANTIATE_TEST_SUITE_P(Cases, FitViewport,
    ::testing::Values(ViewportCase { "ManualOffIgnoresTheCustomAspect", false, 16, 9,
                          { 0, 0, 384, 288, 384.0f / 288.0f } },
        ViewportCase { "Wide16to9", true, 16, 9, { 0, 36, 384, 216, 384.0f / 216.0f } },
        ViewportCase { "Same4to3", true, 4, 3, { 0, 0, 384, 288, 384.0f / 288.0f } },
        ViewportCase { "Square", true, 1, 1, { 48, 0, 288, 288, 1.0f } },
        // 384 / 2.35 = 163.4 -> 163; (288 - 163) / 2 = 62.5 -> 62, the even neighbour.
        ViewportCase { "Cinema235", true, 235, 100, { 0, 62, 384, 163, 384.0f / 163.0f } },
        // 288 x 1.25 = 360; (384 - 360) / 2 = 12.
        ViewportCase { "FiveToFour", true, 5, 4, { 12, 0, 360, 288, 1.25f } },
        ViewportCase { "ZeroPartFallsBack", true, 0, 9, { 0, 0, 384, 288, 384.0f / 288.0f } },
        ViewportCase { "NegativePartFallsBack", true, 16, -9, { 0, 0, 384, 288, 384.0f / 288.0f } },
        ViewportCase { "AbsurdlyWideKeepsOneRow", true, 1000000, 1, { 0, 144, 384, 1, 384.0f } }),
    [](const ::testing::TestParamInfo<ViewportCase>& tested) {
        return std::string(tested.param.name);
    });

TEST(LayOutTiles, ThreeByThreeWithSpacingTwo)
{
    const TileGrid grid = layOutTiles(3, 3, 2.0);
    ASSERT_EQ(grid.count, 9);
    const double positions[] = { -2.0, 0.0, 2.0 };
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const int index = row * 3 + column;
            const TilePlacement& tile = grid.tiles[static_cast<std::size_t>(index)];
            EXPECT_DOUBLE_EQ(tile.x, positions[column]) << "tile " << index;
            EXPECT_DOUBLE_EQ(tile.y, positions[row]) << "tile " << index;
            EXPECT_NEAR(tile.z, -5.0 + 0.001 * index, 1e-9) << "tile " << index;
        }
    }
    EXPECT_NEAR(grid.tiles[8].z, -4.992, 1e-9);
}

TEST(LayOutTiles, AnEvenCountIsOneStepOffCentre)
{
    const TileGrid grid = layOutTiles(2, 2, 1.5);
    ASSERT_EQ(grid.count, 4);
    EXPECT_DOUBLE_EQ(grid.tiles[0].x, -1.5);
    EXPECT_DOUBLE_EQ(grid.tiles[1].x, 0.0);
    EXPECT_DOUBLE_EQ(grid.tiles[0].y, -1.5);
    EXPECT_DOUBLE_EQ(grid.tiles[2].y, 0.0);
    EXPECT_DOUBLE_EQ(grid.tiles[3].x, 0.0);
}

TEST(LayOutTiles, OneTileSitsInTheCentre)
{
    const TileGrid grid = layOutTiles(1, 1, 2.0);
    ASSERT_EQ(grid.count, 1);
    EXPECT_DOUBLE_EQ(grid.tiles[0].x, 0.0);
    EXPECT_DOUBLE_EQ(grid.tiles[0].y, 0.0);
    EXPECT_DOUBLE_EQ(grid.tiles[0].z, -5.0);
}

TEST(LayOutTiles, ClampsCountsAndSpacingFromAnEditedPatch)
{
    EXPECT_EQ(layOutTiles(0, -3, 2.0).count, 1);
    EXPECT_EQ(layOutTiles(1000000, 2, 2.0).count, kMaxTilesPerSide * 2);
    const TileGrid most = layOutTiles(1000, 1000, 2.0);
    EXPECT_EQ(most.count, kMaxTilesPerSide * kMaxTilesPerSide);
    EXPECT_DOUBLE_EQ(most.tiles[0].x, -16.0);

    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_DOUBLE_EQ(layOutTiles(3, 1, inf).tiles[0].x, -100.0);
    EXPECT_DOUBLE_EQ(layOutTiles(3, 1, -inf).tiles[0].x, 100.0);
    EXPECT_DOUBLE_EQ(layOutTiles(3, 1, 1e300).tiles[2].x, 100.0);
    const TileGrid nan = layOutTiles(3, 3, std::numeric_limits<double>::quiet_NaN());
    for (int i = 0; i < nan.count; ++i) {
        const TilePlacement& tile = nan.tiles[static_cast<std::size_t>(i)];
        EXPECT_TRUE(std::isfinite(tile.x) && std::isfinite(tile.y) && std::isfinite(tile.z));
    }
    EXPECT_DOUBLE_EQ(nan.tiles[0].x, -2.0);
}

TEST(RotationTiming, StepFactorIsTheTimeSinceTheLastStepIn40msUnits)
{
    RotationTiming timing;
    EXPECT_EQ(timing.stepFactor(), 0.0);

    timing.setTickTime(1000); // first step: counted as 40 ms since the last one
    timing.step();
    EXPECT_DOUBLE_EQ(timing.stepFactor(), 1.0);

    timing.setTickTime(1020); // too soon: no turn, the last step stays at 1000
    timing.step();
    EXPECT_DOUBLE_EQ(timing.stepFactor(), 0.5);

    timing.setTickTime(1030);
    timing.step();
    EXPECT_DOUBLE_EQ(timing.stepFactor(), 0.75);

    timing.setTickTime(1100); // 100 ms since 1000: turns by 2.5 steps, from here on
    timing.step();
    EXPECT_DOUBLE_EQ(timing.stepFactor(), 2.5);

    timing.setTickTime(1140);
    timing.step();
    EXPECT_DOUBLE_EQ(timing.stepFactor(), 1.0);
}

TEST(TrailsFade, AlphaFromStrength)
{
    EXPECT_DOUBLE_EQ(trailsFadeAlpha(0), 0.125);
    EXPECT_DOUBLE_EQ(trailsFadeAlpha(32), 0.0625);
    EXPECT_DOUBLE_EQ(trailsFadeAlpha(64), 0.0);
    EXPECT_DOUBLE_EQ(trailsFadeAlpha(-10), 0.125);
    EXPECT_DOUBLE_EQ(trailsFadeAlpha(1000), 0.0);
    EXPECT_DOUBLE_EQ(1.0 - trailsFadeAlpha(0), 0.875);
}

} // namespace
