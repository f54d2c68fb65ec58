#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace oskel {

// The picture layout a video output device is told and writes: planar YUV 4:2:0 (Y, then U,
// then V, each plane's rows packed), the layout every camera reader takes.
struct VideoOutputFormat {
    int width = 0;
    int height = 0;
    std::uint32_t bytesPerLine = 0; // of the Y plane; U and V rows are half as long
    std::uint32_t frameBytes = 0;

    bool operator==(const VideoOutputFormat&) const = default;
};

// The format for a picture of width x height: 4:2:0 halves both sizes for U and V, so odd
// sizes are taken down to even ones; zero for sizes below 2 x 2.
VideoOutputFormat videoOutputFormat(int width, int height);

// A device that shows written pictures to other programs as a camera.
class VideoOutputDevice {
public:
    virtual ~VideoOutputDevice() = default;

    virtual const VideoOutputFormat& format() const = 0;
    // The writer's thread: one whole picture of format().frameBytes. An empty text when
    // written, otherwise why not, in the system's words.
    virtual std::string write(std::span<const std::uint8_t> picture) = 0;
};

} // namespace oskel
