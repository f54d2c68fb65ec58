// Blur: a box blur of radius 0 to 16, across then down. Both passes keep running sums, so the
// cost does not grow with the radius. The pass across runs along a copy of the row padded with
// its edge pixels, so its loop has no bounds to test; the pass down works on whole rows at
// once in vector lanes.
#include <vector>

#include "plugin_base.h"

namespace {

constexpr int kMaxRadius = 16;

// One row across: `line` is the row with `radius` edge pixels repeated on either side. The
// three channels are three running sums, one loop-carried add and subtract each per pixel.
void blurAcross(std::uint8_t* __restrict row, const std::uint8_t* __restrict line, int width,
    int radius, std::uint32_t scale)
{
    std::uint32_t b = 0;
    std::uint32_t g = 0;
    std::uint32_t r = 0;
    for (int k = 0; k < 2 * radius + 1; ++k) {
        b += line[k * 3];
        g += line[k * 3 + 1];
        r += line[k * 3 + 2];
    }
    const std::uint8_t* leaving = line;
    const std::uint8_t* coming = line + static_cast<std::size_t>(2 * radius + 1) * 3;
    for (int x = 0; x < width; ++x) {
        row[0] = static_cast<std::uint8_t>((b * scale + 32768) >> 16);
        row[1] = static_cast<std::uint8_t>((g * scale + 32768) >> 16);
        row[2] = static_cast<std::uint8_t>((r * scale + 32768) >> 16);
        b += static_cast<std::uint32_t>(coming[0]) - leaving[0];
        g += static_cast<std::uint32_t>(coming[1]) - leaving[1];
        r += static_cast<std::uint32_t>(coming[2]) - leaving[2];
        row += 3;
        coming += 3;
        leaving += 3;
    }
}

// One row down: the row's sums out, scaled, and the sums moved one row on.
OSKEL_ROW_LOOP void blurDownRow(std::uint8_t* __restrict out, std::uint16_t* __restrict sums,
    const std::uint8_t* __restrict coming, const std::uint8_t* __restrict leaving,
    std::size_t count, std::uint32_t scale)
{
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<std::uint8_t>((sums[i] * scale + 32768) >> 16);
        sums[i] = static_cast<std::uint16_t>(sums[i] + coming[i] - leaving[i]);
    }
}

OSKEL_ROW_LOOP void addRow(
    std::uint16_t* __restrict sums, const std::uint8_t* __restrict row, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        sums[i] = static_cast<std::uint16_t>(sums[i] + row[i]);
    }
}

struct Blur {
    static constexpr const char* kId = "OKbl";
    static constexpr const char* kName = "Blur";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Radius", 0.125f } };
    static constexpr int kRingRows = kMaxRadius * 2 + 2;

    Blur(int w, int h)
        : width(w)
        , height(h)
        , stride(static_cast<std::size_t>(w) * 3)
        , line(stride + (kMaxRadius * 2 + 1) * 3) // a pixel more: the sums step past the end
        , sums(stride)
        , ring(stride * kRingRows)
    {
    }

    void blurRow(std::uint8_t* row, int radius, std::uint32_t scale)
    {
        // The row with its first and last pixels repeated `radius` times either side.
        std::uint8_t* padded = line.data();
        for (int k = 0; k < radius; ++k) {
            std::memcpy(padded + k * 3, row, 3);
        }
        std::memcpy(padded + radius * 3, row, stride);
        const std::uint8_t* last = row + stride - 3;
        for (int k = 0; k < radius; ++k) {
            std::memcpy(padded + radius * 3 + stride + static_cast<std::size_t>(k) * 3, last, 3);
        }
        blurAcross(row, padded, width, radius, scale);
    }

    // Row `y` of the picture as it was before the pass down (edges repeated).
    const std::uint8_t* original(int y) const
    {
        y = std::clamp(y, 0, height - 1);
        return ring.data() + static_cast<std::size_t>(y % kRingRows) * stride;
    }

    void blurDown(std::uint8_t* frame, int radius, std::uint32_t scale)
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
        std::fill(sums.begin(), sums.end(), std::uint16_t { 0 });
        for (int k = -radius; k <= radius; ++k) {
            addRow(sums.data(), original(k), stride);
        }
        for (int y = 0; y < height; ++y) {
            keep(y + radius + 1);
            blurDownRow(frame + static_cast<std::size_t>(y) * stride, sums.data(),
                original(y + radius + 1), original(y - radius), stride, scale);
        }
    }

    void process(std::uint8_t* frame, const float* values)
    {
        const int radius = oskel_plugins::scaled(values[0], kMaxRadius);
        if (radius == 0) {
            return;
        }
        const int window = radius * 2 + 1;
        // 1 / window in 1/65536, rounded; a sum (at most 33 x 255) times it fits 32 bits.
        const auto scale = static_cast<std::uint32_t>((65536 + window / 2) / window);
        for (int y = 0; y < height; ++y) {
            blurRow(frame + static_cast<std::size_t>(y) * stride, radius, scale);
        }
        blurDown(frame, radius, scale);
    }

    int width;
    int height;
    std::size_t stride;
    std::vector<std::uint8_t> line;
    std::vector<std::uint16_t> sums;
    std::vector<std::uint8_t> ring;
};

} // namespace

OSKEL_PLUGIN(Blur)
