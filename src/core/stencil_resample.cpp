#include "core/stencil_resample.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <utility>

namespace {

struct Tap {
    std::size_t index;
    std::int64_t weight;
};

// The source pixels that make up each target pixel along one axis. The weights are whole
// numbers over one common denominator, so a pixel's value is an exact fraction and rounding a
// half to even never depends on floating-point error.
struct AxisWeights {
    std::vector<std::size_t> first; // the taps of target i are taps[first[i] .. first[i + 1])
    std::vector<Tap> taps;
    std::int64_t denominator = 1;
};

// Source larger than target: the area-weighted mean over the target pixel's footprint
// [x * s / t, (x + 1) * s / t). Measured in 1/t of a source pixel, the footprint is
// [x * s, (x + 1) * s) and source pixel i covers [i * t, (i + 1) * t), so every overlap is a
// whole number and the overlaps of one target pixel add up to s.
AxisWeights areaWeights(std::int64_t sourceSize, std::int64_t targetSize)
{
    AxisWeights weights;
    weights.denominator = sourceSize;
    weights.first.reserve(static_cast<std::size_t>(targetSize) + 1);
    weights.taps.reserve(static_cast<std::size_t>(sourceSize + targetSize));
    for (std::int64_t x = 0; x < targetSize; ++x) {
        weights.first.push_back(weights.taps.size());
        const std::int64_t begin = x * sourceSize;
        const std::int64_t end = begin + sourceSize;
        for (std::int64_t i = begin / targetSize; i * targetSize < end; ++i) {
            const std::int64_t overlap
                = std::min((i + 1) * targetSize, end) - std::max(i * targetSize, begin);
            weights.taps.push_back({ static_cast<std::size_t>(i), overlap });
        }
    }
    weights.first.push_back(weights.taps.size());
    return weights;
}

// Source smaller than target: interpolation between the two pixels whose centres surround
// p = x * s / t. The lower one is floor(p) when the fraction of p exceeds one half, else the
// pixel before; the upper one has weight p - (lower + 0.5). Measured in 1/(2t), p is 2xs and
// the weight of the upper pixel 2xs - (2 lower + 1) t, out of 2t.
AxisWeights bilinearWeights(std::int64_t sourceSize, std::int64_t targetSize)
{
    AxisWeights weights;
    weights.denominator = 2 * targetSize;
    weights.first.reserve(static_cast<std::size_t>(targetSize) + 1);
    weights.taps.reserve(2 * static_cast<std::size_t>(targetSize));
    const auto clampIndex = [sourceSize](std::int64_t i) {
        return static_cast<std::size_t>(std::clamp<std::int64_t>(i, 0, sourceSize - 1));
    };
    for (std::int64_t x = 0; x < targetSize; ++x) {
        weights.first.push_back(weights.taps.size());
        const std::int64_t scaled = x * sourceSize; // p * t
        const std::int64_t whole = scaled / targetSize;
        const bool aboveHalf = 2 * (scaled % targetSize) > targetSize;
        const std::int64_t lower = aboveHalf ? whole : whole - 1;
        const std::int64_t upperWeight = 2 * scaled - (2 * lower + 1) * targetSize;
        weights.taps.push_back({ clampIndex(lower), weights.denominator - upperWeight });
        weights.taps.push_back({ clampIndex(lower + 1), upperWeight });
    }
    weights.first.push_back(weights.taps.size());
    return weights;
}

AxisWeights axisWeights(int sourceSize, int targetSize)
{
    return sourceSize > targetSize ? areaWeights(sourceSize, targetSize)
                                   : bilinearWeights(sourceSize, targetSize);
}

// Divides sums by one denominator, rounding to the nearest whole number with a half going to
// the even neighbour, and clamps to a byte. A multiplication by the reciprocal gives the
// rounded quotient to within one; an exact check of the remainder then settles it, far cheaper
// than a 64-bit division per pixel. Sums are never negative and below 256 denominators.
class RoundingDivider {
public:
    explicit RoundingDivider(std::int64_t denominator)
        : m_denominator(denominator)
        , m_reciprocal(1.0 / static_cast<double>(denominator))
    {
    }

    std::uint8_t operator()(std::int64_t sum) const
    {
        std::int64_t quotient
            = static_cast<std::int64_t>(static_cast<double>(sum) * m_reciprocal + 0.5);
        // sum / denominator = quotient + twiceExcess / (2 * denominator)
        const std::int64_t twiceExcess = 2 * (sum - quotient * m_denominator);
        const bool odd = (quotient & 1) != 0;
        if (twiceExcess > m_denominator || (twiceExcess == m_denominator && odd)) {
            ++quotient;
        } else if (twiceExcess < -m_denominator || (twiceExcess == -m_denominator && odd)) {
            --quotient;
        }
        return static_cast<std::uint8_t>(std::min<std::int64_t>(quotient, 255));
    }

private:
    std::int64_t m_denominator;
    double m_reciprocal;
};

// Scales every one of `rows` rows from source.size() / rows pixels to `targetWidth` pixels.
void scaleAcross(std::span<const std::uint8_t> source, std::size_t rows, std::size_t targetWidth,
    const AxisWeights& weights, std::span<std::uint8_t> target)
{
    const std::size_t sourceWidth = source.size() / rows;
    const RoundingDivider divide(weights.denominator);
    for (std::size_t row = 0; row < rows; ++row) {
        const std::uint8_t* from = source.data() + row * sourceWidth;
        std::uint8_t* to = target.data() + row * targetWidth;
        for (std::size_t x = 0; x < targetWidth; ++x) {
            std::int64_t sum = 0;
            for (std::size_t k = weights.first[x]; k < weights.first[x + 1]; ++k) {
                sum += from[weights.taps[k].index] * weights.taps[k].weight;
            }
            to[x] = divide(sum);
        }
    }
}

// Scales every column of `width`-pixel rows from source.size() / width rows to `targetHeight`.
void scaleDown(std::span<const std::uint8_t> source, std::size_t width, std::size_t targetHeight,
    const AxisWeights& weights, std::span<std::uint8_t> target)
{
    const RoundingDivider divide(weights.denominator);
    for (std::size_t row = 0; row < targetHeight; ++row) {
        const std::span<const Tap> taps(
            weights.taps.data() + weights.first[row], weights.first[row + 1] - weights.first[row]);
        std::uint8_t* to = target.data() + row * width;
        if (taps.size() == 2) { // every row when scaling up
            const std::uint8_t* lower = source.data() + taps[0].index * width;
            const std::uint8_t* upper = source.data() + taps[1].index * width;
            for (std::size_t x = 0; x < width; ++x) {
                to[x] = divide(lower[x] * taps[0].weight + upper[x] * taps[1].weight);
            }
            continue;
        }
        for (std::size_t x = 0; x < width; ++x) {
            std::int64_t sum = 0;
            for (const Tap& tap : taps) {
                sum += source[tap.index * width + x] * tap.weight;
            }
            to[x] = divide(sum);
        }
    }
}

} // namespace

namespace oskel {

// Returns an empty vector when a target side is not positive or the source is empty (a side
// not positive, or fewer pixel bytes than its sides call for).
std::vector<std::uint8_t> resampleStencil(
    const GreyBitmap& source, int targetWidth, int targetHeight)
{
    if (targetWidth <= 0 || targetHeight <= 0 || source.width <= 0 || source.height <= 0) {
        return {};
    }
    const auto sourceWidth = static_cast<std::size_t>(source.width);
    const auto sourceHeight = static_cast<std::size_t>(source.height);
    const auto width = static_cast<std::size_t>(targetWidth);
    const auto height = static_cast<std::size_t>(targetHeight);
    if (source.pixels.size() < sourceWidth * sourceHeight) {
        return {};
    }
    const std::span<const std::uint8_t> sourcePixels(
        source.pixels.data(), sourceWidth * sourceHeight);

    // First pass: across, into targetWidth x sourceHeight (or the source itself when the
    // widths agree).
    std::vector<std::uint8_t> across;
    std::span<const std::uint8_t> intermediate = sourcePixels;
    if (width != sourceWidth) {
        across.resize(width * sourceHeight);
        scaleAcross(
            sourcePixels, sourceHeight, width, axisWeights(source.width, targetWidth), across);
        intermediate = across;
    }

    // Second pass: down, into targetWidth x targetHeight.
    if (height == sourceHeight) {
        return across.empty() ? std::vector<std::uint8_t>(intermediate.begin(), intermediate.end())
                              : std::move(across);
    }
    std::vector<std::uint8_t> target(width * height);
    scaleDown(intermediate, width, height, axisWeights(source.height, targetHeight), target);
    return target;
}

} // namespace oskel
