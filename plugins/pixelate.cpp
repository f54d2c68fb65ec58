// Pixelate: the picture in square blocks of 1 to 32 pixels, each the colour of its corner.
#include "plugin_base.h"

namespace {

struct Pixelate {
    static constexpr const char* kId = "OKpx";
    static constexpr const char* kName = "Pixelate";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Block Size", 0.25f } };

    Pixelate(int w, int h)
        : width(w)
        , height(h)
    {
    }

    void process(std::uint8_t* frame, const float* values) const
    {
        const int block = 1 + oskel_plugins::scaled(values[0], 31);
        const std::size_t stride = static_cast<std::size_t>(width) * 3;
        for (int top = 0; top < height; top += block) {
            std::uint8_t* first = frame + static_cast<std::size_t>(top) * stride;
            for (int x = 0; x < width; ++x) {
                const int source = x - x % block;
                if (source != x) {
                    std::memcpy(first + x * 3, first + source * 3, 3);
                }
            }
            const int rows = std::min(block, height - top);
            for (int y = 1; y < rows; ++y) {
                std::memcpy(first + static_cast<std::size_t>(y) * stride, first, stride);
            }
        }
    }

    int width;
    int height;
};

} // namespace

OSKEL_PLUGIN(Pixelate)
