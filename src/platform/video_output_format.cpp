#include "platform/video_output_device.h"

namespace oskel {

VideoOutputFormat videoOutputFormat(int width, int height)
{
    const int evenWidth = width / 2 * 2;
    const int evenHeight = height / 2 * 2;
    if (evenWidth < 2 || evenHeight < 2) {
        return {};
    }
    const auto luma = std::uint32_t(evenWidth) * std::uint32_t(evenHeight);
    return { evenWidth, evenHeight, std::uint32_t(evenWidth), luma + luma / 2 };
}

} // namespace oskel
