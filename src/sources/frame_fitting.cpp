#include "sources/frame_fitting.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace oskel {

bool needsHalving(FrameSize clip)
{
    return clip.width > kMaxDeliveredWidth || clip.height > kMaxDeliveredHeight;
}

FrameSize halvedSize(FrameSize clip)
{
    return { clip.width / 2, clip.height / 2 };
}

FrameSize fittedSize(FrameSize size)
{
    if (size.width <= kMaxDeliveredWidth && size.height <= kMaxDeliveredHeight) {
        return size;
    }
    const double scale = std::min(
        double(kMaxDeliveredWidth) / size.width, double(kMaxDeliveredHeight) / size.height);
    const auto fit = [scale](int length, int limit) {
        return std::clamp(static_cast<int>(std::lround(length * scale)), 1, limit);
    };
    return { fit(size.width, kMaxDeliveredWidth), fit(size.height, kMaxDeliveredHeight) };
}

FrameSize deliveredSize(FrameSize clip)
{
    return fittedSize(needsHalving(clip) ? halvedSize(clip) : clip);
}

void halveFrame(const std::uint8_t* firstRow, std::ptrdiff_t rowStride, FrameSize sourceSize,
    std::uint8_t* target)
{
    const FrameSize half = halvedSize(sourceSize);
    for (int row = 0; row < half.height; ++row) {
        const std::uint8_t* in = firstRow + std::ptrdiff_t(2 * row) * rowStride;
        for (int x = 0; x < half.width; ++x, in += 6, target += 3) {
            target[0] = in[0];
            target[1] = in[1];
            target[2] = in[2];
        }
    }
}

std::vector<AreaScaler::Tap> AreaScaler::taps(int from, int to)
{
    // Output pixel i covers input [i * ratio, (i + 1) * ratio).
    const double ratio = double(from) / to;
    std::vector<Tap> result(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        const double start = i * ratio;
        const double end = std::min(double(from), (i + 1) * ratio);
        Tap& tap = result[static_cast<std::size_t>(i)];
        tap.first = std::min(from - 1, static_cast<int>(start));
        for (int p = tap.first; p < from && p < end; ++p) {
            const double covered = std::min(end, p + 1.0) - std::max(start, double(p));
            tap.weights.push_back(static_cast<float>(std::max(0.0, covered) / ratio));
        }
    }
    return result;
}

AreaScaler::AreaScaler(FrameSize from, FrameSize to)
    : m_from(from)
    , m_to(to)
    , m_columns(taps(from.width, to.width))
    , m_rows(taps(from.height, to.height))
    , m_rowSum(std::size_t(from.width) * 3)
{
}

void AreaScaler::scale(const std::uint8_t* source, std::uint8_t* target)
{
    const std::size_t inRow = std::size_t(m_from.width) * 3;
    for (const Tap& row : m_rows) {
        std::fill(m_rowSum.begin(), m_rowSum.end(), 0.0F);
        const std::uint8_t* in = source + std::size_t(row.first) * inRow;
        for (const float weight : row.weights) {
            for (std::size_t i = 0; i < inRow; ++i) {
                m_rowSum[i] += weight * in[i];
            }
            in += inRow;
        }
        for (const Tap& column : m_columns) {
            float sum[3] = { 0.0F, 0.0F, 0.0F };
            const float* pixel = m_rowSum.data() + std::size_t(column.first) * 3;
            for (const float weight : column.weights) {
                sum[0] += weight * pixel[0];
                sum[1] += weight * pixel[1];
                sum[2] += weight * pixel[2];
                pixel += 3;
            }
            for (const float value : sum) {
                *target++ = static_cast<std::uint8_t>(std::clamp(value + 0.5F, 0.0F, 255.0F));
            }
        }
    }
}

} // namespace oskel
