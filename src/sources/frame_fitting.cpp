#include "sources/frame_fitting.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace oskel {

bool needsHalving(FrameSize clip, FrameLimits limits)
{
    return limits.halveLarge
        && (clip.width > limits.largest.width || clip.height > limits.largest.height);
}

FrameSize halvedSize(FrameSize clip)
{
    // A side of one pixel stays one pixel.
    return { std::max(1, clip.width / 2), std::max(1, clip.height / 2) };
}

FrameSize fittedSize(FrameSize size, FrameLimits limits)
{
    return deliveredSize(size, FrameLimits { limits.largest, false });
}

void halveFrame(const std::uint8_t* firstRow, std::ptrdiff_t rowStride, FrameSize sourceSize,
    std::uint8_t* target)
{
    pickEverySecondPixel(firstRow, 2 * rowStride, halvedSize(sourceSize), target);
}

void pickEverySecondPixel(
    const std::uint8_t* firstRow, std::ptrdiff_t rowStride, FrameSize size, std::uint8_t* target)
{
    if (size.width <= 0) {
        return;
    }
    for (int row = 0; row < size.height; ++row) {
        const std::uint8_t* in = firstRow + std::ptrdiff_t(row) * rowStride;
        // Four bytes at a time; the fourth is overwritten by the next pixel.
        for (int x = 0; x + 1 < size.width; ++x, in += 6, target += 3) {
            std::memcpy(target, in, 4);
        }
        std::memcpy(target, in, 3);
        target += 3;
    }
}

std::vector<int> AreaScaler::taps(
    int from, int to, int& tapCount, std::vector<std::uint16_t>& weights)
{
    // Output pixel i covers input [i * ratio, (i + 1) * ratio).
    const double ratio = double(from) / to;
    std::vector<int> first(static_cast<std::size_t>(to));
    std::vector<std::vector<double>> covered(static_cast<std::size_t>(to));
    tapCount = 1;
    for (int i = 0; i < to; ++i) {
        const double start = i * ratio;
        const double end = std::min(double(from), (i + 1) * ratio);
        const auto at = static_cast<std::size_t>(i);
        first[at] = std::min(from - 1, static_cast<int>(start));
        for (int p = first[at]; p < from && p < end; ++p) {
            covered[at].push_back(
                std::max(0.0, std::min(end, p + 1.0) - std::max(start, double(p))));
        }
        tapCount = std::max(tapCount, static_cast<int>(covered[at].size()));
    }
    weights.assign(std::size_t(to) * std::size_t(tapCount), 0);
    for (std::size_t i = 0; i < covered.size(); ++i) {
        double total = 0.0;
        for (const double part : covered[i]) {
            total += part;
        }
        // Rounded weights, the remainder added to the largest so that they sum to one.
        std::uint16_t* w = weights.data() + i * std::size_t(tapCount);
        int sum = 0;
        std::size_t largest = 0;
        for (std::size_t t = 0; t < covered[i].size(); ++t) {
            w[t] = static_cast<std::uint16_t>(std::lround(covered[i][t] / total * kWeightOne));
            sum += w[t];
            largest = covered[i][t] > covered[i][largest] ? t : largest;
        }
        w[largest] = static_cast<std::uint16_t>(w[largest] + (kWeightOne - sum));
    }
    return first;
}

AreaScaler::AreaScaler(FrameSize from, FrameSize to)
    : m_from(from)
    , m_to(to)
{
    m_columnFirst = taps(from.width, to.width, m_columnTaps, m_columnWeights);
    m_rowFirst = taps(from.height, to.height, m_rowTaps, m_rowWeights);
    // Room for the taps that reach past the last pixel, with weight zero.
    m_rowSum.assign((std::size_t(from.width) + std::size_t(m_columnTaps)) * 3, 0);
}

void AreaScaler::scale(const std::uint8_t* source, std::uint8_t* target)
{
    const std::size_t inRow = std::size_t(m_from.width) * 3;
    const auto rowTaps = static_cast<std::size_t>(m_rowTaps);
    const auto columnTaps = static_cast<std::size_t>(m_columnTaps);
    for (std::size_t row = 0; row < m_rowFirst.size(); ++row) {
        // Vertical pass: at most 255 x 256 in each 16-bit lane.
        std::uint16_t* sum = m_rowSum.data();
        const std::uint16_t* rowWeights = m_rowWeights.data() + row * rowTaps;
        const std::uint8_t* in = source + std::size_t(m_rowFirst[row]) * inRow;
        for (std::size_t i = 0; i < inRow; ++i) {
            sum[i] = static_cast<std::uint16_t>(rowWeights[0] * in[i]);
        }
        for (std::size_t t = 1; t < rowTaps && rowWeights[t] != 0; ++t) {
            in += inRow;
            const std::uint16_t weight = rowWeights[t];
            for (std::size_t i = 0; i < inRow; ++i) {
                sum[i] = static_cast<std::uint16_t>(sum[i] + weight * in[i]);
            }
        }
        switch (columnTaps) {
        case 2:
            target = scaleRow<2>(sum, target);
            break;
        case 3:
            target = scaleRow<3>(sum, target);
            break;
        default:
            target = scaleRow<0>(sum, target);
            break;
        }
    }
}

// The horizontal pass over one row; `Taps` fixed at compile time for the common ratios
// (0: as many as the ratio needs).
template <int Taps>
std::uint8_t* AreaScaler::scaleRow(const std::uint16_t* sum, std::uint8_t* target) const
{
    const auto columnTaps
        = Taps > 0 ? static_cast<std::size_t>(Taps) : static_cast<std::size_t>(m_columnTaps);
    for (std::size_t column = 0; column < m_columnFirst.size(); ++column) {
        const std::uint16_t* weights = m_columnWeights.data() + column * columnTaps;
        const std::uint16_t* pixel = sum + std::size_t(m_columnFirst[column]) * 3;
        std::uint32_t b = 0;
        std::uint32_t g = 0;
        std::uint32_t r = 0;
        for (std::size_t t = 0; t < columnTaps; ++t, pixel += 3) {
            b += std::uint32_t(weights[t]) * pixel[0];
            g += std::uint32_t(weights[t]) * pixel[1];
            r += std::uint32_t(weights[t]) * pixel[2];
        }
        constexpr std::uint32_t kHalf = kWeightOne * kWeightOne / 2;
        *target++ = static_cast<std::uint8_t>((b + kHalf) >> 16);
        *target++ = static_cast<std::uint8_t>((g + kHalf) >> 16);
        *target++ = static_cast<std::uint8_t>((r + kHalf) >> 16);
    }
    return target;
}

} // namespace oskel
