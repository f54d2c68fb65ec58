// Blur: a box blur of radius 0 to 16, across then down, each pass in vector lanes. The pass
// down keeps running sums of whole rows; the pass across adds up windows of doubling widths.
// Neither costs more for a larger radius, or hardly.
#include <vector>

#include "plugin_base.h"

namespace {

constexpr int kMaxRadius = 16;

// (sum x scale + 32768) / 65536 for a sum and a scale of 16 bits, from the high and low
// halves of the product, so that it stays in 16-bit lanes.
inline std::uint8_t average(std::uint16_t sum, std::uint16_t scale)
{
    const std::uint32_t product = std::uint32_t { sum } * scale;
    const auto high = static_cast<std::uint16_t>(product >> 16);
    const auto low = static_cast<std::uint16_t>(product);
    return static_cast<std::uint8_t>(high + (low >> 15));
}

OSKEL_ROW_LOOP void widen(
    std::uint16_t* __restrict to, const std::uint8_t* __restrict from, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        to[i] = from[i];
    }
}

// to[i] = from[i] + from[i + offset]: sums of windows twice as wide.
OSKEL_ROW_LOOP void addAhead(std::uint16_t* __restrict to, const std::uint16_t* __restrict from,
    std::size_t count, std::size_t offset)
{
    for (std::size_t i = 0; i < count; ++i) {
        to[i] = static_cast<std::uint16_t>(from[i] + from[i + offset]);
    }
}

OSKEL_ROW_LOOP void addInto(
    std::uint16_t* __restrict to, const std::uint16_t* __restrict from, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        to[i] = static_cast<std::uint16_t>(to[i] + from[i]);
    }
}

OSKEL_ROW_LOOP void scaleSums(std::uint8_t* __restrict row, const std::uint16_t* __restrict sums,
    std::size_t count, std::uint16_t scale)
{
    for (std::size_t i = 0; i < count; ++i) {
        row[i] = average(sums[i], scale);
    }
}

// One row down: the row's sums out, scaled, and the sums moved one row on.
OSKEL_ROW_LOOP void blurDownRow(std::uint8_t* __restrict out, std::uint16_t* __restrict sums,
    const std::uint8_t* __restrict coming, const std::uint8_t* __restrict leaving,
    std::size_t count, std::uint16_t scale)
{
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = average(sums[i], scale);
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
        , line(stride + kMaxRadius * 2 * 3)
        , windows(line.size())
        , nextWindows(line.size())
        , sums(stride)
        , ring(stride * kRingRows)
    {
    }

    // One row across, from a copy padded with `radius` edge pixels either side. A running sum
    // would chain every pixel to the one before; instead the sums of windows of 1, 2, 4, ...
    // pixels are made in vector passes, each from the one before, and the window of
    // 2 x radius + 1 pixels is added up from those its width is made of: a few passes over the
    // row whatever the radius, and the same sums.
    void blurRow(std::uint8_t* row, int radius, std::uint16_t scale)
    {
        std::uint8_t* padded = line.data();
        for (int k = 0; k < radius; ++k) {
            std::memcpy(padded + k * 3, row, 3);
        }
        std::memcpy(padded + radius * 3, row, stride);
        const std::uint8_t* last = row + stride - 3;
        for (int k = 0; k < radius; ++k) {
            std::memcpy(padded + radius * 3 + stride + static_cast<std::size_t>(k) * 3, last, 3);
        }
        const int window = 2 * radius + 1;
        std::size_t valid = stride + static_cast<std::size_t>(2 * radius) * 3; // sums made
        widen(windows.data(), padded, valid);
        std::uint16_t* current = windows.data(); // sums of `span` pixels from each byte on
        std::uint16_t* spare = nextWindows.data();
        bool started = false;
        std::size_t offset = 0; // bytes of the window already added up
        for (int span = 1, left = window; left != 0; span *= 2, left >>= 1) {
            if ((left & 1) != 0) {
                if (started) {
                    addInto(sums.data(), current + offset, stride);
                } else {
                    std::memcpy(sums.data(), current + offset, stride * 2);
                    started = true;
                }
                offset += static_cast<std::size_t>(span) * 3;
            }
            if ((left >> 1) != 0) {
                const std::size_t ahead = static_cast<std::size_t>(span) * 3;
                valid -= ahead;
                addAhead(spare, current, valid, ahead);
                std::swap(current, spare);
            }
        }
        scaleSums(row, sums.data(), stride, scale);
    }

    // Row `y` of the picture as it was before the pass down (edges repeated).
    const std::uint8_t* original(int y) const
    {
        y = std::clamp(y, 0, height - 1);
        return ring.data() + static_cast<std::size_t>(y % kRingRows) * stride;
    }

    void blurDown(std::uint8_t* frame, int radius, std::uint16_t scale)
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
        // 1 / window in 1/65536, rounded (at most 21845).
        const auto scale = static_cast<std::uint16_t>((65536 + window / 2) / window);
        for (int y = 0; y < height; ++y) {
            blurRow(frame + static_cast<std::size_t>(y) * stride, radius, scale);
        }
        blurDown(frame, radius, scale);
    }

    int width;
    int height;
    std::size_t stride;
    std::vector<std::uint8_t> line;
    std::vector<std::uint16_t> windows;
    std::vector<std::uint16_t> nextWindows;
    std::vector<std::uint16_t> sums;
    std::vector<std::uint8_t> ring;
};

} // namespace

OSKEL_PLUGIN(Blur)
