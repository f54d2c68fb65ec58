#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/video_output_device.h"

namespace oskel {

// A video device the system lists: its node ("/dev/video10") and the name it shows.
struct VideoDeviceName {
    std::filesystem::path node;
    std::string name;
};

// Where the system lists its video devices and keeps their nodes.
struct VideoDeviceFolders {
    std::filesystem::path sysClass = "/sys/class/video4linux";
    std::filesystem::path dev = "/dev";
    std::filesystem::path loopbackModule = "/sys/module/v4l2loopback";
};

// The video devices listed, in the order of their nodes.
std::vector<VideoDeviceName> listVideoDevices(const VideoDeviceFolders& folders = {});

// The command that makes a virtual camera of that name.
std::string loopbackLoadCommand(const std::string& name);

struct LoopbackCameraChoice {
    std::unique_ptr<VideoOutputDevice> device;
    std::string problem; // when there is no device
};

// Opens the v4l2loopback device shown as `name` and tells it the pictures' format. Refused,
// with the reason: no device of that name (with the command that makes one), a device of
// another driver (a real camera is never written to), a device that cannot be opened or does
// not take the format.
LoopbackCameraChoice openLoopbackCamera(const std::string& name, const VideoOutputFormat& format,
    const VideoDeviceFolders& folders = {});

} // namespace oskel
