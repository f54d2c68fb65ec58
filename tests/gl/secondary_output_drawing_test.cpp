// The secondary output's surface and the TV-out preview's picture, drawn by the renderer.
#include <gtest/gtest.h>

#include "gl/gl_renderer_fixture.h"
#include "support/failing_gl_surface.h"

namespace oskel::test {
namespace {

constexpr int kWidth = kCompositionWidth;
constexpr int kHeight = kCompositionHeight;

class SecondaryOutputDrawing : public GlRendererFixture {
protected:
    // The secondary surface's centre pixel, read with its own context.
    Bgr centreOf(EglSurface& second)
    {
        EXPECT_TRUE(second.makeCurrent());
        std::vector<std::uint8_t> picture(std::size_t(second.width()) * second.height() * 3);
        EXPECT_TRUE(second.readPicture(picture.data(), picture.size()));
        renderer->makeCurrent();
        const std::size_t at
            = (std::size_t(second.height() / 2) * second.width() + second.width() / 2) * 3;
        return Bgr { picture[at], picture[at + 1], picture[at + 2] };
    }
};

TEST_F(SecondaryOutputDrawing, IsDrawnOnlyWhileShown)
{
    GlSurfaceResult made = surface().createSharedSurface(64, 48);
    ASSERT_NE(made.surface, nullptr) << made.error;
    auto& second = static_cast<EglSurface&>(*made.surface);
    renderer->setSecondOutputSurface(&second);
    initDisplay();
    loadSlot(1, kWidth, kHeight);

    draw(1, TestFrame(kWidth, kHeight, kRed));
    presentAndRead();
    EXPECT_EQ(centreOf(second), kBlack) << "collapsed: left as set up";

    renderer->showSecondOutput(true);
    draw(1, TestFrame(kWidth, kHeight, kGreen));
    presentAndRead();
    EXPECT_EQ(centreOf(second), kGreen);

    renderer->showSecondOutput(false);
    draw(1, TestFrame(kWidth, kHeight, kRed));
    EXPECT_EQ(pixelAt(presentAndRead(), 192, 144), kRed);
    EXPECT_EQ(centreOf(second), kGreen) << "collapsed again: no longer drawn";
    renderer.reset();
}

TEST_F(SecondaryOutputDrawing, TvOutPreviewGetsEachPresentedPictureOnlyInTheTvOutMode)
{
    PresentedPicture preview(kWidth, kHeight);
    renderer->setTvOutPicture(&preview);
    std::vector<std::uint8_t> taken;
    initDisplay();
    loadSlot(1, kWidth, kHeight);
    draw(1, TestFrame(kWidth, kHeight, kRed));
    presentAndRead();
    EXPECT_FALSE(preview.takeNew(taken)) << "not in the TV-out mode";

    performance.options().display.displayOption = 2;
    initDisplay();
    loadSlot(1, kWidth, kHeight);
    TestFrame frame(kWidth, kHeight, kRed);
    frame.fillColumns(kWidth / 2, kWidth, kBlue);
    draw(1, frame);
    const auto presented = presentAndRead();
    ASSERT_TRUE(preview.takeNew(taken));
    EXPECT_EQ(taken, presented);
    EXPECT_EQ(pixelAt(taken, 10, 10), kRed);
    EXPECT_EQ(pixelAt(taken, 300, 10), kBlue);
    EXPECT_FALSE(preview.takeNew(taken)) << "taken once";
}

// A secondary surface that cannot be drawn on leaves the output drawn as before.
TEST_F(SecondaryOutputDrawing, AnUnusableSurfaceLeavesTheOutputAsItWas)
{
    FailingGlSurface second;
    renderer->setSecondOutputSurface(&second);
    renderer->showSecondOutput(true);
    initDisplay();
    loadSlot(1, kWidth, kHeight);
    draw(1, TestFrame(kWidth, kHeight, kGreen));
    EXPECT_EQ(pixelAt(presentAndRead(), 192, 144), kGreen);
}

} // namespace
} // namespace oskel::test
