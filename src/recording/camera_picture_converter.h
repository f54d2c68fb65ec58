#pragma once

#include <cstdint>
#include <span>

#include "platform/video_output_device.h"
#include "sources/ffmpeg_handles.h"

namespace oskel {

// The composed blue-green-red picture, top row first, as a camera's picture in the device's
// format: scaled to its size and turned into its planes (the usual camera colours: BT.601,
// studio range).
class CameraPictureConverter {
public:
    // Throws std::runtime_error when the sizes cannot be converted.
    CameraPictureConverter(int width, int height, const VideoOutputFormat& to);

    std::size_t pictureBytes() const { return std::size_t(m_width) * std::size_t(m_height) * 3; }
    // `bgr` holds pictureBytes(); `out` holds the format's frameBytes.
    void convert(const std::uint8_t* bgr, std::span<std::uint8_t> out);

private:
    int m_width;
    int m_height;
    VideoOutputFormat m_to;
    ffmpeg::SwsContextPtr m_scaler;
};

} // namespace oskel
