#include <cmath>

#include <gtest/gtest.h>

#include "gl/gl_renderer_fixture.h"

namespace oskel::test {
namespace {

constexpr int kWidth = kCompositionWidth;
constexpr int kHeight = kCompositionHeight;
constexpr int kTicks = 6;

class Trails : public GlRendererFixture {
protected:
    void drawWhite()
    {
        loadSlot(1, kWidth, kHeight);
        draw(1, TestFrame(kWidth, kHeight, kWhite));
    }
    int middleRed() { return pixelAt(presentAndRead(), 192, 144).r; }
};

struct FadeCase {
    int strength;
    double keptPerTick;
};

class TrailsFade : public Trails, public ::testing::WithParamInterface<FadeCase> { };

TEST_P(TrailsFade, EachTickKeepsAShareOfThePreviousPicture)
{
    const FadeCase fade = GetParam();
    performance.globals().Trails = true;
    performance.globals().trailsStrength = fade.strength;
    drawWhite();
    ASSERT_EQ(middleRed(), 255);
    // Every tick rounds once: the value stays between the chains rounded down and up.
    double low = 255.0;
    double high = 255.0;
    for (int tick = 1; tick <= kTicks; ++tick) {
        low = std::floor(low * fade.keptPerTick);
        high = std::ceil(high * fade.keptPerTick);
        const int shown = middleRed();
        EXPECT_GE(shown, low - 1) << "tick " << tick;
        EXPECT_LE(shown, high + 1) << "tick " << tick;
    }
}

INSTANTIATE_TEST_SUITE_P(Strengths, TrailsFade,
    ::testing::Values(FadeCase { 0, 0.875 }, FadeCase { 32, 0.9375 }, FadeCase { 64, 1.0 }),
    [](const auto& testCase) { return "Strength" + std::to_string(testCase.param.strength); });

TEST_F(Trails, ClearingOnceWipesTheTrailsFromTheNextPicture)
{
    performance.globals().Trails = true;
    performance.globals().trailsStrength = 64;
    drawWhite();
    EXPECT_EQ(middleRed(), 255);
    EXPECT_EQ(middleRed(), 255) << "strength 64 never fades";
    static_cast<RendererPort&>(*renderer).ClearOutput();
    // The picture being composed keeps its trails; the one after it starts black.
    EXPECT_EQ(middleRed(), 255);
    EXPECT_EQ(middleRed(), 0);
    EXPECT_EQ(middleRed(), 0);
}

TEST_F(Trails, WithoutTrailsEveryTickStartsFromTheBackground)
{
    drawWhite();
    EXPECT_EQ(middleRed(), 255);
    EXPECT_EQ(middleRed(), 0);
    performance.globals().ColouredBackground = true;
    renderer->Present();
    EXPECT_EQ(pixelAt(presentAndRead(), 192, 144), kBlue);
}

TEST_F(Trails, ClearingTheOutputBlanksThePictureBeingComposed)
{
    drawWhite();
    static_cast<FrameRenderer&>(*renderer).ClearOutput();
    EXPECT_EQ(middleRed(), 0);
}

} // namespace
} // namespace oskel::test
