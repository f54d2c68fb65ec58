// The output composed larger than 384 x 288: the rectangles stay in 384 x 288 units and land
// where the scale to the composition's pixels puts them, every other rule as at 384 x 288.
#include <gtest/gtest.h>

#include "gl/gl_renderer_fixture.h"

namespace oskel::test {
namespace {

constexpr CompositionSize kHd { 1280, 720 };

void place(TPlayAvistruct& slot, const SlotRect& rect)
{
    slot.Left = rect.left;
    slot.Top = rect.top;
    slot.Right = rect.right;
    slot.Bottom = rect.bottom;
}

class HdComposition : public GlRendererFixture {
protected:
    void composeAt(CompositionSize size)
    {
        renderer->setCompositionSize(size);
        initDisplay();
    }

    std::vector<std::uint8_t> presentAndReadAt(CompositionSize size)
    {
        renderer->Present();
        std::vector<std::uint8_t> picture(size.bgrBytes());
        EXPECT_TRUE(renderer->readOutput(picture.data(), picture.size()));
        return picture;
    }

    // Two ticks with trails: a red background, a white layer at half opacity, a dark layer
    // keyed away; then the white layer moved, drawn over the faded first picture. The
    // rectangles' vertical edges are even, so that no pixel centre of 1280 x 720 falls on one.
    std::vector<std::uint8_t> performScene(CompositionSize size)
    {
        composeAt(size);
        performance.globals().Trails = true;
        performance.globals().trailsStrength = 0;
        loadSlot(1, kAreaWidth, kAreaHeight);
        loadSlot(2, kAreaWidth, kAreaHeight, [](TPlayAvistruct& s) {
            s.Alpha = true;
            s.AlphaLevel = 128;
            place(s, { 100, 60, 290, 220 });
        });
        loadSlot(3, kAreaWidth, kAreaHeight, [](TPlayAvistruct& s) {
            s.LumaKey = true;
            s.LumaKeyLevel = 300;
            place(s, { 30, 30, 200, 150 });
        });
        draw(1, TestFrame(kAreaWidth, kAreaHeight, kRed));
        draw(2, TestFrame(kAreaWidth, kAreaHeight, kWhite));
        draw(3, TestFrame(kAreaWidth, kAreaHeight, { 20, 20, 20 }));
        renderer->Present();
        changeSlot(2, [](TPlayAvistruct& s) { place(s, { 151, 100, 351, 262 }); });
        draw(2, TestFrame(kAreaWidth, kAreaHeight, kWhite));
        return presentAndReadAt(size);
    }
};

TEST_F(HdComposition, EveryPixelIsThePixelOf384x288WhereItsCentreLands)
{
    const std::vector<std::uint8_t> standard = performScene(kStandardComposition);
    // The background of the first tick, faded once; the keyed layer leaves no mark on it.
    ASSERT_TRUE(colourNear(pixelAt(standard, 40, 40), { 0, 0, 223 }, 2));

    const std::vector<std::uint8_t> hd = performScene(kHd);
    int differing = 0;
    for (int y = 0; y < kHd.height; ++y) {
        for (int x = 0; x < kHd.width; ++x) {
            const int areaX = (2 * x + 1) * kAreaWidth / (2 * kHd.width);
            const int areaY = (2 * y + 1) * kAreaHeight / (2 * kHd.height);
            const std::size_t at = (std::size_t(y) * kHd.width + std::size_t(x)) * 3;
            const Bgr shown { hd[at], hd[at + 1], hd[at + 2] };
            if (!colourNear(shown, pixelAt(standard, areaX, areaY)) && ++differing <= 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") " << shown << " is not that of ("
                              << areaX << ", " << areaY << ") " << pixelAt(standard, areaX, areaY);
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(HdComposition, AClipOfTheCompositionsSizeIsShownTexelForTexel)
{
    composeAt(kHd);
    TestFrame checkerboard(kHd.width, kHd.height, kBlack);
    for (int y = 0; y < kHd.height; ++y) {
        for (int x = (y + 1) % 2; x < kHd.width; x += 2) {
            checkerboard.set(x, y, kWhite);
        }
    }
    loadSlot(1, kHd.width, kHd.height);
    draw(1, checkerboard);
    const std::vector<std::uint8_t> picture = presentAndReadAt(kHd);
    // The picture is read top row first, the frame was made bottom row first.
    std::vector<std::uint8_t> expected(kHd.bgrBytes());
    const std::size_t rowBytes = std::size_t(kHd.width) * 3;
    for (int row = 0; row < kHd.height; ++row) {
        std::copy_n(checkerboard.pixels.begin() + std::ptrdiff_t((kHd.height - 1 - row) * rowBytes),
            rowBytes, expected.begin() + std::ptrdiff_t(row * rowBytes));
    }
    EXPECT_TRUE(picture == expected);
}

TEST_F(HdComposition, A384x288ReadBackGetsThePictureScaledDown)
{
    composeAt(kHd);
    loadSlot(1, kAreaWidth, kAreaHeight, [](TPlayAvistruct& s) { s.Right = 192; });
    draw(1, TestFrame(kAreaWidth, kAreaHeight, kGreen));
    const std::vector<std::uint8_t> picture = presentAndRead();
    EXPECT_EQ(pixelAt(picture, 96, 144), kGreen);
    EXPECT_EQ(pixelAt(picture, 288, 144), kBlack);
}

} // namespace
} // namespace oskel::test
