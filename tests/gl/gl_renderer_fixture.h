#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "gl/test_frame.h"
#include "platform/gl/egl_surface.h"
#include "render/gl/gl_renderer.h"
#include "support/recording_user_interface.h"

namespace oskel::test {

// A renderer on a headless EGL surface, current on the test's thread. One surface serves the
// whole test suite; each test has its own performance and renderer. The machine must be able
// to make an EGL context (Mesa's llvmpipe does without a GPU or display): when it cannot, the
// tests fail and say why.
class GlRendererFixture : public ::testing::Test {
public:
    using SlotSettings = std::function<void(TPlayAvistruct&)>;

    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;
    void TearDown() override;

    // Sets the display up again (after the display options changed) and makes it current.
    void initDisplay();

    // Sets up the settings of a loaded, playing slot with clips of width x height in both the
    // live and the snapshot record (covering the whole composition unless the settings say
    // otherwise) and makes its textures.
    void loadSlot(int slot, int width, int height, const SlotSettings& settings = {});
    // Changes settings in both records, as a tick's snapshot copy would pass them on.
    void changeSlot(int slot, const SlotSettings& settings);
    void draw(int slot, const TestFrame& frame);
    // Presents the tick and returns the picture shown, top row first.
    std::vector<std::uint8_t> presentAndRead();

    static EglSurface& surface() { return static_cast<EglSurface&>(*s_surface); }

    RecordingUserInterface ui;
    MainThreadDispatcher dispatcher;
    Performance performance { ui, dispatcher };
    std::unique_ptr<GlRenderer> renderer;

private:
    static inline std::unique_ptr<GlSurface> s_surface;
    static inline std::string s_error;
};

// A pixel of a picture read back at composition coordinates (x right, y down).
Bgr pixelAt(const std::vector<std::uint8_t>& picture, int x, int y);

// Each of blue, green and red within tolerance of the expected value.
::testing::AssertionResult colourNear(Bgr actual, Bgr expected, int tolerance = 1);

} // namespace oskel::test
