// Blur: a box blur of radius 0 to 16, across then down. Both passes keep running sums, so the
// cost does not grow with the radius; the pass down works on whole rows at once.
#include <vector>

#include "plugin_base.h"

namespace {

struct Blur {
    static constexpr const char* kId = "OKbl";
    static constexpr const char* kName = "Blur";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Radius", 0.125f } };
    static constexpr int kMaxRadius = 16;
    static constexpr int kRingRows = kMaxRadius * 2 + 2;

    Blur(int w, int h)
        : width(w)
        , height(h)
        , stride(static_cast<std::size_t>(w) * 3)
        , line(stride)
        , sums(stride)
        , ring(stride * kRingRows)
    {
    }

    void blurRow(std::uint8_t* row, int radius, int scale)
    {
        std::memcpy(line.data(), row, stride);
        int b = 0;
        int g = 0;
        int r = 0;
        for (int k = -radius; k <= radius; ++k) {
            const std::size_t at = static_cast<std::size_t>(std::clamp(k, 0, width - 1)) * 3;
            b += line[at];
            g += line[at + 1];
            r += line[at + 2];
        }
        for (int x = 0; x < width; ++x) {
            std::uint8_t* out = row + x * 3;
            out[0] = static_cast<std::uint8_t>((b * scale + 32768) >> 16);
            out[1] = static_cast<std::uint8_t>((g * scale + 32768) >> 16);
            out[2] = static_cast<std::uint8_t>((r * scale + 32768) >> 16);
            const std::size_t leaving = static_cast<std::size_t>(std::max(x - radius, 0)) * 3;
            const std::size_t coming
                = static_cast<std::size_t>(std::min(x + radius + 1, width - 1)) * 3;
            b += line[coming] - line[leaving];
            g += line[coming + 1] - line[leaving + 1];
            r += line[coming + 2] - line[leaving + 2];
        }
    }

    // Row `y` of the picture as it was before the pass down (edges repeated).
    const std::uint8_t* original(int y) const
    {
        y = std::clamp(y, 0, height - 1);
        return ring.data() + static_cast<std::size_t>(y % kRingRows) * stride;
    }

    void blurDown(std::uint8_t* frame, int radius, int scale)
    {
        const auto keep = [&](int y) {
            if (y < height) {
                std::memcpy(ring.data() + static_cast<std::size_t>(y % kRingRows) * stride,
                    frame + static_cast<std::size_t>(y) * stride, stride);
            }
        };
        for (int y = 0; y <= radius; ++y) {
            keep(y);
        }
        std::fill(sums.begin(), sums.end(), 0);
        for (int k = -radius; k <= radius; ++k) {
            const std::uint8_t* row = original(k);
            for (std::size_t i = 0; i < stride; ++i) {
                sums[i] += row[i];
            }
        }
        for (int y = 0; y < height; ++y) {
            keep(y + radius + 1);
            std::uint8_t* out = frame + static_cast<std::size_t>(y) * stride;
            const std::uint8_t* leaving = original(y - radius);
            const std::uint8_t* coming = original(y + radius + 1);
            for (std::size_t i = 0; i < stride; ++i) {
                out[i] = static_cast<std::uint8_t>((sums[i] * scale + 32768) >> 16);
                sums[i] += coming[i] - leaving[i];
            }
        }
    }

    void process(std::uint8_t* frame, const float* values)
    {
        const int radius = oskel_plugins::scaled(values[0], kMaxRadius);
        if (radius == 0) {
            return;
        }
        const int window = radius * 2 + 1;
        const int scale = (65536 + window / 2) / window; // 1 / window in 1/65536, rounded
        for (int y = 0; y < height; ++y) {
            blurRow(frame + static_cast<std::size_t>(y) * stride, radius, scale);
        }
        blurDown(frame, radius, scale);
    }

    int width;
    int height;
    std::size_t stride;
    std::vector<std::uint8_t> line;
    std::vector<std::int32_t> sums;
    std::vector<std::uint8_t> ring;
};

} // namespace

OSKEL_PLUGIN(Blur)
