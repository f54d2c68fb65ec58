// RGB shift: the red channel moved left and the blue channel right, by up to 32 pixels.
#include <vector>

#include "plugin_base.h"

namespace {

constexpr int kMaxShift = 32;

// One row from its padded copy: byte by byte, blue from `shift` pixels left, red from `shift`
// pixels right, green where it is; which channel a byte is comes from `channels`, so the loop
// is three loads and two selects per vector.
OSKEL_ROW_LOOP void shiftRow(std::uint8_t* __restrict row, const std::uint8_t* __restrict middle,
    const std::uint8_t* __restrict channels, std::size_t count, std::size_t offset)
{
    const std::uint8_t* __restrict left = middle - offset;
    const std::uint8_t* __restrict right = middle + offset;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t channel = channels[i];
        row[i] = channel == 0 ? left[i] : (channel == 2 ? right[i] : middle[i]);
    }
}

struct RgbShift {
    static constexpr const char* kId = "OKrs";
    static constexpr const char* kName = "RGB Shift";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Distance", 0.25f } };

    RgbShift(int w, int h)
        : width(w)
        , height(h)
        , line(static_cast<std::size_t>(w + 2 * kMaxShift) * 3)
        , channels(static_cast<std::size_t>(w) * 3)
    {
        for (std::size_t i = 0; i < channels.size(); ++i) {
            channels[i] = static_cast<std::uint8_t>(i % 3);
        }
    }

    void process(std::uint8_t* frame, const float* values)
    {
        const int shift = std::min(oskel_plugins::scaled(values[0], kMaxShift), width - 1);
        if (shift == 0) {
            return;
        }
        const std::size_t stride = static_cast<std::size_t>(width) * 3;
        std::uint8_t* middle = line.data() + kMaxShift * 3;
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = frame + static_cast<std::size_t>(y) * stride;
            // The row with its first and last pixels repeated `shift` times either side.
            std::memcpy(middle, row, stride);
            for (int k = 1; k <= shift; ++k) {
                std::memcpy(middle - k * 3, row, 3);
                std::memcpy(
                    middle + stride + static_cast<std::size_t>(k - 1) * 3, row + stride - 3, 3);
            }
            shiftRow(row, middle, channels.data(), stride, static_cast<std::size_t>(shift) * 3);
        }
    }

    int width;
    int height;
    std::vector<std::uint8_t> line;
    std::vector<std::uint8_t> channels;
};

} // namespace

OSKEL_PLUGIN(RgbShift)
