// RGB shift: the red channel moved left and the blue channel right, by up to 32 pixels.
#include <vector>

#include "plugin_base.h"

namespace {

struct RgbShift {
    static constexpr const char* kId = "OKrs";
    static constexpr const char* kName = "RGB Shift";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Distance", 0.25f } };
    static constexpr int kMaxShift = 32;

    RgbShift(int w, int h)
        : width(w)
        , height(h)
        , row(static_cast<std::size_t>(w) * 3)
    {
    }

    void process(std::uint8_t* frame, const float* values)
    {
        const int shift = std::min(oskel_plugins::scaled(values[0], kMaxShift), width - 1);
        const std::size_t stride = static_cast<std::size_t>(width) * 3;
        for (int y = 0; y < height; ++y) {
            std::uint8_t* line = frame + static_cast<std::size_t>(y) * stride;
            std::memcpy(row.data(), line, stride);
            for (int x = 0; x < width; ++x) {
                const int red = std::min(x + shift, width - 1);
                const int blue = std::max(x - shift, 0);
                line[x * 3] = row[static_cast<std::size_t>(blue) * 3];
                line[x * 3 + 2] = row[static_cast<std::size_t>(red) * 3 + 2];
            }
        }
    }

    int width;
    int height;
    std::vector<std::uint8_t> row;
};

} // namespace

OSKEL_PLUGIN(RgbShift)
