// Mirror: the left half reflected onto the right ("Mode" below 0.5), or the bottom half onto
// the top (0.5 and above).
#include "plugin_base.h"

namespace {

struct Mirror {
    static constexpr const char* kId = "OKmr";
    static constexpr const char* kName = "Mirror";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Mode", 0.0f } };

    Mirror(int w, int h)
        : width(static_cast<std::size_t>(w))
        , height(static_cast<std::size_t>(h))
    {
    }

    void process(std::uint8_t* frame, const float* values) const
    {
        const std::size_t stride = width * 3;
        if (values[0] < 0.5f) {
            for (std::size_t y = 0; y < height; ++y) {
                std::uint8_t* row = frame + y * stride;
                for (std::size_t x = 0; x < width / 2; ++x) {
                    std::memcpy(row + (width - 1 - x) * 3, row + x * 3, 3);
                }
            }
            return;
        }
        for (std::size_t y = 0; y < height / 2; ++y) {
            std::memcpy(frame + (height - 1 - y) * stride, frame + y * stride, stride);
        }
    }

    std::size_t width;
    std::size_t height;
};

} // namespace

OSKEL_PLUGIN(Mirror)
