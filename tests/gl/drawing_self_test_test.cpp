// The drawing self-test the secondary output runs at start-up.
#include <gtest/gtest.h>

#include "platform/gl/egl_surface.h"
#include "render/gl/drawing_self_test.h"
#include "support/failing_gl_surface.h"

namespace oskel {
namespace {

TEST(DrawingSelfTest, PassesOnASurfaceThatShowsWhatIsDrawn)
{
    GlSurfaceResult made = createEglSurface(64, 64);
    ASSERT_TRUE(made.surface) << made.error;
    const DrawingSelfTestResult result = runDrawingSelfTest(*made.surface);
    EXPECT_TRUE(result.passed) << result.problem;
    EXPECT_TRUE(result.problem.empty());
}

TEST(DrawingSelfTest, FailsWithTheReasonWhenNoContextCanBeMadeCurrent)
{
    test::FailingGlSurface surface;
    const DrawingSelfTestResult result = runDrawingSelfTest(surface);
    EXPECT_FALSE(result.passed);
    EXPECT_EQ(result.problem, "its drawing context cannot be made current");
}

} // namespace
} // namespace oskel
