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

    // The first row of each band of blocks: each block's corner pixel copied along the block
    // (no division per pixel); then that row copied down the band.
    void process(std::uint8_t* frame, const float* values) const
    {
        const int block = 1 + oskel_plugins::scaled(values[0], 31);
        if (block == 1) {
            return;
        }
        const std::size_t stride = static_cast<std::size_t>(width) * 3;
        for (int top = 0; top < height; top += block) {
            std::uint8_t* first = frame + static_cast<std::size_t>(top) * stride;
            for (int left = 0; left < width; left += block) {
                const std::uint8_t* corner = first + static_cast<std::size_t>(left) * 3;
                const int end = std::min(left + block, width);
                for (int x = left + 1; x < end; ++x) {
                    std::uint8_t* to = first + static_cast<std::size_t>(x) * 3;
                    to[0] = corner[0];
                    to[1] = corner[1];
                    to[2] = corner[2];
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
