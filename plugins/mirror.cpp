// Mirror: the left half reflected onto the right ("Mode" below 0.5), or the bottom half onto
// the top (0.5 and above).
#include "plugin_base.h"

namespace {

// The `pixels` pixels from `right` on are those from `left` on, in reverse.
OSKEL_ROW_LOOP void reflectRow(
    std::uint8_t* __restrict right, const std::uint8_t* __restrict left, std::size_t pixels)
{
    for (std::size_t x = 0; x < pixels; ++x) {
        const std::size_t to = (pixels - 1 - x) * 3;
        right[to] = left[x * 3];
        right[to + 1] = left[x * 3 + 1];
        right[to + 2] = left[x * 3 + 2];
    }
}

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
                reflectRow(row + (width - width / 2) * 3, row, width / 2);
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
