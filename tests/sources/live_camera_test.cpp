// A camera of this machine as a live source. Runs only where the kernel lists a video device.
#include <gtest/gtest.h>

#include "sources/live_source.h"

namespace oskel {
namespace {

TEST(LiveCameraTest, TheFirstCameraOpensAndDeliversPicturesOrSaysWhyNot)
{
    const std::vector<CameraDevice> cameras = listCameras();
    if (cameras.empty()) {
        GTEST_SKIP() << "no camera here: /sys/class/video4linux lists no /dev/video* device";
    }
    LiveSource source(LiveTimings { std::chrono::milliseconds(5000) });
    TSourceInfo info;
    const std::string name = std::string(kCameraPrefix) + cameras.front().name;
    if (source.open(name, info) != kSourceOk) {
        // A device that gives no pictures (an output-only loopback, one in use) is refused
        // with its name and the reason.
        EXPECT_EQ(info.openProblem.rfind(name + ": ", 0), 0u) << info.openProblem;
        EXPECT_GT(info.openProblem.size(), name.size() + 2);
        return;
    }
    EXPECT_GT(info.width, 0);
    EXPECT_EQ(info.frameHeader.sizeImage, std::uint32_t(info.width * info.height * 3));
    const std::uint8_t* pixels = nullptr;
    EXPECT_EQ(source.getFrame(0, info, pixels), kSourceOk);
    EXPECT_NE(pixels, nullptr);
    EXPECT_EQ(source.close(info), kSourceOk);
}

} // namespace
} // namespace oskel
