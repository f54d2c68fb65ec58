#include "platform/loopback_camera.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace oskel {

namespace {

constexpr std::string_view kLoopbackDriver = "v4l2 loopback";

std::string firstLine(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

std::string systemWords(int error)
{
    return std::generic_category().message(error);
}

int retried(auto call)
{
    int result = 0;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

class LoopbackCamera final : public VideoOutputDevice {
public:
    LoopbackCamera(int descriptor, std::string shownName, const VideoOutputFormat& format)
        : m_descriptor(descriptor)
        , m_shownName(std::move(shownName))
        , m_format(format)
    {
    }
    ~LoopbackCamera() override { ::close(m_descriptor); }
    LoopbackCamera(const LoopbackCamera&) = delete;
    LoopbackCamera& operator=(const LoopbackCamera&) = delete;

    const VideoOutputFormat& format() const override { return m_format; }

    std::string write(std::span<const std::uint8_t> picture) override
    {
        while (!picture.empty()) {
            const ssize_t written = ::write(m_descriptor, picture.data(), picture.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                return "The virtual camera " + m_shownName
                    + " took no picture: " + systemWords(written < 0 ? errno : EIO);
            }
            picture = picture.subspan(std::size_t(written));
        }
        return {};
    }

private:
    int m_descriptor;
    std::string m_shownName;
    VideoOutputFormat m_format;
};

std::string driverOf(int descriptor)
{
    v4l2_capability capability {};
    if (retried([&] { return ::ioctl(descriptor, VIDIOC_QUERYCAP, &capability); }) < 0) {
        return {};
    }
    const auto* text = reinterpret_cast<const char*>(capability.driver);
    return std::string(text, ::strnlen(text, sizeof capability.driver));
}

// What the device is told: the format's planes, progressive, in the usual camera colours.
v4l2_format outputFormat(const VideoOutputFormat& format)
{
    v4l2_format told {};
    told.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
    told.fmt.pix.width = std::uint32_t(format.width);
    told.fmt.pix.height = std::uint32_t(format.height);
    told.fmt.pix.pixelformat = V4L2_PIX_FMT_YUV420;
    told.fmt.pix.field = V4L2_FIELD_NONE;
    told.fmt.pix.bytesperline = format.bytesPerLine;
    told.fmt.pix.sizeimage = format.frameBytes;
    told.fmt.pix.colorspace = V4L2_COLORSPACE_SMPTE170M;
    return told;
}

std::string formatProblem(int descriptor, const VideoOutputFormat& format)
{
    v4l2_format told = outputFormat(format);
    if (retried([&] { return ::ioctl(descriptor, VIDIOC_S_FMT, &told); }) < 0) {
        return systemWords(errno);
    }
    const bool taken = told.fmt.pix.width == std::uint32_t(format.width)
        && told.fmt.pix.height == std::uint32_t(format.height)
        && told.fmt.pix.pixelformat == V4L2_PIX_FMT_YUV420
        && told.fmt.pix.sizeimage == format.frameBytes;
    return taken ? std::string() : "it is set to another size or format by another program";
}

} // namespace

std::vector<VideoDeviceName> listVideoDevices(const VideoDeviceFolders& folders)
{
    std::vector<VideoDeviceName> devices;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folders.sysClass, error)) {
        const std::string node = entry.path().filename().string();
        devices.push_back({ folders.dev / node, firstLine(entry.path() / "name") });
    }
    // video2 before video10.
    std::ranges::sort(devices, [](const VideoDeviceName& a, const VideoDeviceName& b) {
        const std::string x = a.node.filename().string();
        const std::string y = b.node.filename().string();
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    return devices;
}

std::string loopbackLoadCommand(const std::string& name)
{
    return "sudo modprobe v4l2loopback exclusive_caps=1 card_label=\"" + name + "\"";
}

LoopbackCameraChoice openLoopbackCamera(
    const std::string& name, const VideoOutputFormat& format, const VideoDeviceFolders& folders)
{
    const auto devices = listVideoDevices(folders);
    const auto found = std::ranges::find(devices, name, &VideoDeviceName::name);
    if (found == devices.end()) {
        const bool loaded = std::filesystem::exists(folders.loopbackModule);
        return { nullptr,
            "There is no virtual camera \"" + name + "\""
                + (loaded ? std::string() : ": the v4l2loopback module is not loaded")
                + ". This command makes one (Debian's package v4l2loopback-dkms): "
                + loopbackLoadCommand(name) };
    }
    const std::string shown = "\"" + name + "\" (" + found->node.string() + ")";
    const int descriptor
        = retried([&] { return ::open(found->node.c_str(), O_WRONLY | O_CLOEXEC); });
    if (descriptor < 0) {
        return { nullptr,
            "The virtual camera " + shown + " cannot be opened: " + systemWords(errno) };
    }
    const std::string driver = driverOf(descriptor);
    if (driver != kLoopbackDriver) {
        ::close(descriptor);
        return { nullptr,
            "The video device " + shown + " is not a virtual camera (its driver is \"" + driver
                + "\", not v4l2loopback): Oskel 3 writes only to a virtual camera" };
    }
    if (const std::string problem = formatProblem(descriptor, format); !problem.empty()) {
        ::close(descriptor);
        return { nullptr,
            "The virtual camera " + shown + " does not take " + std::to_string(format.width) + " x "
                + std::to_string(format.height) + " pictures: " + problem };
    }
    return { std::make_unique<LoopbackCamera>(descriptor, shown, format), {} };
}

} // namespace oskel
