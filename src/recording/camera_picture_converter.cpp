#include "recording/camera_picture_converter.h"

#include <stdexcept>

extern "C" {
#include <libswscale/swscale.h>
}

namespace oskel {

CameraPictureConverter::CameraPictureConverter(int width, int height, const VideoOutputFormat& to)
    : m_width(width)
    , m_height(height)
    , m_to(to)
    , m_scaler(sws_getContext(width, height, AV_PIX_FMT_BGR24, to.width, to.height,
          AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr))
{
    if (!m_scaler || to.frameBytes == 0) {
        throw std::runtime_error("The picture cannot be converted for the virtual camera");
    }
}

void CameraPictureConverter::convert(const std::uint8_t* bgr, std::span<std::uint8_t> out)
{
    const std::size_t luma = std::size_t(m_to.bytesPerLine) * std::size_t(m_to.height);
    const std::size_t chroma = luma / 4;
    if (out.size() < luma + 2 * chroma) {
        return;
    }
    const std::uint8_t* in[] = { bgr };
    const int inStride[] = { m_width * 3 };
    std::uint8_t* planes[] = { out.data(), out.data() + luma, out.data() + luma + chroma };
    const int stride = static_cast<int>(m_to.bytesPerLine);
    const int strides[] = { stride, stride / 2, stride / 2 };
    sws_scale(m_scaler.get(), in, inStride, 0, m_height, planes, strides);
}

} // namespace oskel
