#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace oskel {

// A V4L2 capture device as the system names it ("Integrated Camera") and where it is.
struct CameraDevice {
    std::string name;
    std::filesystem::path device; // "/dev/video0"
};

// The video devices the kernel lists under `classFolder` that exist under `deviceFolder`,
// in the order of their numbers. Empty where there are none.
std::vector<CameraDevice> listCameras(
    const std::filesystem::path& classFolder = "/sys/class/video4linux",
    const std::filesystem::path& deviceFolder = "/dev");

} // namespace oskel
