#include "gl/gl_renderer_fixture.h"

#include <cstdlib>

namespace oskel::test {

void GlRendererFixture::SetUpTestSuite()
{
    GlSurfaceResult result = createEglSurface();
    s_surface = std::move(result.surface);
    s_error = result.error;
}

void GlRendererFixture::TearDownTestSuite()
{
    s_surface.reset();
}

void GlRendererFixture::SetUp()
{
    ASSERT_NE(s_surface, nullptr) << "No headless OpenGL (EGL with Mesa) on this machine: "
                                  << s_error;
    renderer = std::make_unique<GlRenderer>(performance, *s_surface, dispatcher);
    initDisplay();
}

void GlRendererFixture::initDisplay()
{
    ASSERT_TRUE(renderer->InitDisplay()) << renderer->lastError();
    renderer->makeCurrent();
}

void GlRendererFixture::TearDown()
{
    renderer.reset();
}

void GlRendererFixture::loadSlot(int slot, int width, int height, const SlotSettings& settings)
{
    TPlayAvistruct& live = performance.slot(slot);
    live.Loaded = true;
    live.Playing = true;
    live.ClipWidth = width;
    live.ClipHeight = height;
    if (settings) {
        settings(live);
    }
    performance.snapshot()[slot] = live;
    renderer->CreateSlotTextures(slot, width, height);
}

void GlRendererFixture::changeSlot(int slot, const SlotSettings& settings)
{
    settings(performance.slot(slot));
    settings(performance.snapshot()[slot]);
}

void GlRendererFixture::draw(int slot, const TestFrame& frame)
{
    renderer->DrawSlotFrame(slot, performance.snapshot()[slot], frame.pixels.data(), frame.header);
}

std::vector<std::uint8_t> GlRendererFixture::presentAndRead()
{
    renderer->Present();
    std::vector<std::uint8_t> picture(std::size_t(kCompositionWidth) * kCompositionHeight * 3);
    EXPECT_TRUE(renderer->readOutput(picture.data(), picture.size()));
    return picture;
}

Bgr pixelAt(const std::vector<std::uint8_t>& picture, int x, int y)
{
    const std::size_t at = (std::size_t(y) * kCompositionWidth + std::size_t(x)) * 3;
    return { picture.at(at), picture.at(at + 1), picture.at(at + 2) };
}

::testing::AssertionResult colourNear(Bgr actual, Bgr expected, int tolerance)
{
    const bool near = std::abs(actual.b - expected.b) <= tolerance
        && std::abs(actual.g - expected.g) <= tolerance
        && std::abs(actual.r - expected.r) <= tolerance;
    if (near) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
        << "colour " << actual << " expected " << expected << " within " << tolerance;
}

} // namespace oskel::test
