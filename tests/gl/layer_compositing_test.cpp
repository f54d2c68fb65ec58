#include <gtest/gtest.h>

#include "core/control_names.h"
#include "gl/gl_renderer_fixture.h"

namespace oskel::test {
namespace {

constexpr int kWidth = kCompositionWidth;
constexpr int kHeight = kCompositionHeight;
constexpr int kBelow = 1; // the layer underneath
constexpr int kLayer = 2; // the layer under test

// One band of columns of a test frame and the colour the output must show there.
struct Band {
    Bgr layer;
    Bgr expected;
};

// A full-size frame of equal vertical bands.
TestFrame bandedFrame(const std::vector<Band>& bands)
{
    TestFrame frame(kWidth, kHeight, kBlack);
    const int bandWidth = kWidth / int(bands.size());
    for (std::size_t i = 0; i < bands.size(); ++i) {
        frame.fillColumns(int(i) * bandWidth, int(i + 1) * bandWidth, bands[i].layer);
    }
    return frame;
}

void expectBands(
    const std::vector<std::uint8_t>& picture, const std::vector<Band>& bands, int tolerance)
{
    const int bandWidth = kWidth / int(bands.size());
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const int x = int(i) * bandWidth + bandWidth / 2;
        EXPECT_TRUE(colourNear(pixelAt(picture, x, kHeight / 2), bands[i].expected, tolerance))
            << "band " << i;
    }
}

// A grey pixel whose b + g + r is sum.
constexpr Bgr withSum(int sum)
{
    return { sum / 3, sum / 3, sum - 2 * (sum / 3) };
}

// What a layer pixel of alpha/255 blended over below gives.
constexpr Bgr blended(Bgr layer, Bgr below, double alpha)
{
    const auto mix
        = [alpha](int top, int under) { return int(top * alpha + under * (1.0 - alpha) + 0.5); };
    return { mix(layer.b, below.b), mix(layer.g, below.g), mix(layer.r, below.r) };
}

class LayerCompositing : public GlRendererFixture {
protected:
    void drawBelow(Bgr colour)
    {
        loadSlot(kBelow, kWidth, kHeight);
        draw(kBelow, TestFrame(kWidth, kHeight, colour));
    }
};

struct LumaCase {
    const char* name;
    int level;
    int blend;
    bool inverse;
    std::vector<Band> bands; // over white
};

class LumaKeyCompositing : public LayerCompositing,
                           public ::testing::WithParamInterface<LumaCase> { };

TEST_P(LumaKeyCompositing, KeyedPixelsShowTheLayerBelowByTheirBrightness)
{
    const LumaCase& key = GetParam();
    drawBelow(kWhite);
    loadSlot(kLayer, kWidth, kHeight, [&](TPlayAvistruct& s) {
        s.LumaKey = true;
        s.LumaKeyLevel = key.level;
        s.LumaBlendLevel = key.blend;
        s.InverseLuma = key.inverse;
    });
    draw(kLayer, bandedFrame(key.bands));
    expectBands(presentAndRead(), key.bands, 1);
}

INSTANTIATE_TEST_SUITE_P(Levels, LumaKeyCompositing,
    ::testing::Values(LumaCase { "HardKeyAt300", 300, 0, false,
                          { { withSum(300), kWhite }, { withSum(301), withSum(301) } } },
        LumaCase { "Blend100Around300", 300, 100, false,
            { { withSum(200), kWhite },
                { withSum(300), blended(withSum(300), kWhite, 128 / 255.0) },
                { withSum(400), withSum(400) } } },
        LumaCase { "Blend100Inverted", 300, 100, true,
            { { withSum(200), withSum(200) },
                { withSum(300), blended(withSum(300), kWhite, 127 / 255.0) },
                { withSum(400), kWhite } } }),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(LayerCompositing, HalfOpacityBlendsNormalLayersAndAddsBurnLayersAtHalfStrength)
{
    const Bgr below { 0, 0, 100 };
    const Bgr layer { 200, 100, 0 };
    drawBelow(below);
    loadSlot(kLayer, kWidth / 2, kHeight, [](TPlayAvistruct& s) {
        s.Alpha = true;
        s.AlphaLevel = 128;
        s.Right = kWidth / 2;
    });
    loadSlot(3, kWidth / 2, kHeight, [](TPlayAvistruct& s) {
        s.Alpha = true;
        s.AlphaLevel = 128;
        s.Left = kWidth / 2;
    });
    renderer->SetSlotBurn(3, true);
    draw(kLayer, TestFrame(kWidth / 2, kHeight, layer));
    draw(3, TestFrame(kWidth / 2, kHeight, layer));
    const auto picture = presentAndRead();
    EXPECT_TRUE(colourNear(pixelAt(picture, 96, 144), blended(layer, below, 0.5)));
    EXPECT_TRUE(colourNear(pixelAt(picture, 288, 144), { 100, 50, 100 }));
}

TEST_F(LayerCompositing, BurnWithoutOpacityKeyOrStencilReplacesWhatIsBelow)
{
    drawBelow({ 0, 0, 100 });
    loadSlot(kLayer, kWidth, kHeight);
    renderer->SetSlotBurn(kLayer, true);
    EXPECT_TRUE(performance.slot(kLayer).Burn);
    draw(kLayer, TestFrame(kWidth, kHeight, { 200, 100, 0 }));
    EXPECT_EQ(pixelAt(presentAndRead(), 192, 144), (Bgr { 200, 100, 0 }));
}

TEST_F(LayerCompositing, ColourSwapModesExchangeChannels)
{
    struct SwapCase {
        int mode;
        Bgr clip;
        Bgr shown;
    };
    const SwapCase cases[] = {
        { 0, kRed, kRed }, { 1, kRed, kGreen }, // red / green
        { 2, kRed, kBlue }, // red / blue
        { 3, kBlue, kGreen }, // blue / green
    };
    const int quarter = kWidth / 4;
    for (int i = 0; i < 4; ++i) {
        loadSlot(i + 1, quarter, kHeight, [&](TPlayAvistruct& s) {
            s.ColourSwapMode = cases[i].mode;
            s.Left = i * quarter;
            s.Right = (i + 1) * quarter;
        });
        draw(i + 1, TestFrame(quarter, kHeight, cases[i].clip));
    }
    const auto picture = presentAndRead();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pixelAt(picture, i * quarter + quarter / 2, 144), cases[i].shown)
            << "mode " << cases[i].mode;
    }
}

TEST_F(LayerCompositing, SoftSwapTurnsOnlyLumaKeyedFlatLayersRedBlue)
{
    performance.options().display.SoftSwap = true;
    initDisplay();
    const auto keyed = [](TPlayAvistruct& s) {
        s.LumaKey = true;
        s.LumaKeyLevel = 1; // every pixel brighter than black is opaque
        s.ColourSwapMode = 3; // overridden by the soft swap on flat layers
    };
    loadSlot(1, 96, kHeight, [&](TPlayAvistruct& s) {
        keyed(s);
        s.Right = 96;
    });
    loadSlot(2, 96, kHeight, [](TPlayAvistruct& s) {
        s.Left = 288;
        s.Right = 384;
    });
    loadSlot(3, 256, 256, [&](TPlayAvistruct& s) {
        keyed(s);
        s.ColourSwapMode = 0;
        s.BillBoard = true;
    });
    draw(1, TestFrame(96, kHeight, kRed));
    draw(2, TestFrame(96, kHeight, kRed));
    draw(3, TestFrame(256, 256, kRed));
    const auto picture = presentAndRead();
    EXPECT_EQ(pixelAt(picture, 48, 144), kBlue);
    EXPECT_EQ(pixelAt(picture, 336, 144), kRed);
    EXPECT_EQ(pixelAt(picture, 192, 144), kRed) << "a tile in the middle";
}

class StencilCompositing : public LayerCompositing, public ::testing::WithParamInterface<bool> { };

TEST_P(StencilCompositing, TheMaskGivesEachPixelItsOpacity)
{
    const bool alsoLumaKeyed = GetParam();
    drawBelow(kRed);
    const std::vector<Band> bands = {
        { kGreen, kRed },
        { kGreen, blended(kGreen, kRed, 128 / 255.0) },
        { kGreen, kGreen },
    };
    auto mask = std::make_shared<std::vector<std::uint8_t>>(std::size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int band = x / (kWidth / 3);
            (*mask)[std::size_t(y) * kWidth + std::size_t(x)] = band == 0 ? 0
                : band == 1                                               ? 128
                                                                          : 255;
        }
    }
    loadSlot(kLayer, kWidth, kHeight, [&](TPlayAvistruct& s) {
        s.StencilEnabled = true;
        s.StencilMask = mask;
        s.StencilWidth = kWidth;
        s.StencilHeight = kHeight;
        // Every pixel brighter than black is opaque before the mask.
        s.LumaKey = alsoLumaKeyed;
        s.LumaKeyLevel = 1;
    });
    draw(kLayer, bandedFrame(bands));
    expectBands(presentAndRead(), bands, 1);
}

INSTANTIATE_TEST_SUITE_P(Alone, StencilCompositing, ::testing::Values(false));
INSTANTIATE_TEST_SUITE_P(WithLumaKey, StencilCompositing, ::testing::Values(true));

TEST_F(LayerCompositing, AStencilMadeForAnotherFrameSizeIsSwitchedOff)
{
    drawBelow(kRed);
    performance.globals().selectedSlot = kLayer;
    loadSlot(kLayer, kWidth, kHeight, [](TPlayAvistruct& s) {
        s.StencilEnabled = true;
        s.StencilMask = std::make_shared<std::vector<std::uint8_t>>(100, 0);
        s.StencilWidth = 10;
        s.StencilHeight = 10;
    });
    EXPECT_FALSE(performance.snapshot()[kLayer].StencilEnabled);
    draw(kLayer, TestFrame(kWidth, kHeight, kGreen));
    EXPECT_EQ(pixelAt(presentAndRead(), 192, 144), kGreen) << "drawn whole, without the mask";
    EXPECT_TRUE(performance.slot(kLayer).StencilEnabled) << "the main thread's to change";
    dispatcher.processPending();
    EXPECT_FALSE(performance.slot(kLayer).StencilEnabled);
    const ControlValue* button = ui.lastShown(control::kStencilEnable);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(*button, ControlValue(false));
}

TEST_F(LayerCompositing, LayersAreDrawnInTheOrderOfTheCalls)
{
    loadSlot(1, kWidth, kHeight);
    loadSlot(2, kWidth, kHeight);
    const TestFrame red(kWidth, kHeight, kRed);
    const TestFrame green(kWidth, kHeight, kGreen);
    draw(1, red);
    draw(2, green);
    EXPECT_EQ(pixelAt(presentAndRead(), 192, 144), kGreen);
    draw(2, green);
    draw(1, red);
    EXPECT_EQ(pixelAt(presentAndRead(), 192, 144), kRed);
}

TEST_F(LayerCompositing, AFrameWithACompressedHeaderIsNotDrawn)
{
    loadSlot(kLayer, kWidth, kHeight);
    draw(kLayer, TestFrame(kWidth, kHeight, kRed));
    EXPECT_EQ(pixelAt(presentAndRead(), 192, 144), kRed);
    TestFrame compressed(kWidth, kHeight, kGreen);
    compressed.header.compression = 1;
    draw(kLayer, compressed);
    EXPECT_EQ(pixelAt(presentAndRead(), 192, 144), kBlack);
}

TEST_F(LayerCompositing, RowsOfAnyByteLengthAreDrawnWithoutSkew)
{
    // 321 pixels make rows of 963 bytes: not a multiple of four.
    constexpr int width = 321;
    constexpr int height = 240;
    TestFrame frame(width, height, kRed);
    frame.fillColumns(160, width, kGreen);
    for (int x = 0; x < width; ++x) {
        frame.set(x, 0, kBlue); // bottom row
        frame.set(x, height - 1, kWhite); // top row
    }
    loadSlot(kLayer, width, height, [](TPlayAvistruct& s) {
        s.Right = width;
        s.Bottom = height;
    });
    draw(kLayer, frame);
    const auto picture = presentAndRead();
    EXPECT_EQ(pixelAt(picture, 0, 0), kWhite);
    EXPECT_EQ(pixelAt(picture, width - 1, 0), kWhite);
    EXPECT_EQ(pixelAt(picture, 0, height - 1), kBlue);
    EXPECT_EQ(pixelAt(picture, width - 1, height - 1), kBlue);
    for (const int y : { 1, height / 2, height - 2 }) {
        EXPECT_EQ(pixelAt(picture, 159, y), kRed) << "row " << y;
        EXPECT_EQ(pixelAt(picture, 160, y), kGreen) << "row " << y;
        EXPECT_EQ(pixelAt(picture, width - 1, y), kGreen) << "row " << y;
        EXPECT_EQ(pixelAt(picture, width, y), kBlack) << "row " << y;
    }
}

TEST_F(LayerCompositing, ADirtyTextureIsMadeAgainWithAnAlphaChannel)
{
    drawBelow(kRed);
    loadSlot(kLayer, kWidth, kHeight);
    changeSlot(kLayer, [](TPlayAvistruct& s) {
        s.LumaKey = true;
        s.LumaKeyLevel = 300;
        s.TextureDirty = true;
    });
    draw(kLayer, TestFrame(kWidth, kHeight, withSum(300)));
    EXPECT_FALSE(performance.slot(kLayer).TextureDirty);
    EXPECT_EQ(pixelAt(presentAndRead(), 192, 144), kRed);
}

TEST_F(LayerCompositing, FramesLargerThanTheTextureAreRefusedAndReportedOnce)
{
    loadSlot(kLayer, 600, 100);
    const TestFrame oversize(600, 100, kRed);
    draw(kLayer, oversize);
    draw(kLayer, oversize);
    EXPECT_EQ(pixelAt(presentAndRead(), 100, 250), kBlack);
    EXPECT_EQ(renderer->oversizeFrames(), 2);
    EXPECT_TRUE(ui.statusTexts.empty()) << "the frame thread must not call the windows";
    dispatcher.processPending();
    ASSERT_EQ(ui.statusTexts.size(), 1u);
    EXPECT_NE(ui.statusTexts[0].find("Slot 2"), std::string::npos) << ui.statusTexts[0];
}

} // namespace
} // namespace oskel::test
