#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/frame_size.h"

namespace oskel {

// The largest frame the renderer takes at the standard composition.
inline constexpr int kMaxDeliveredWidth = kStandardFrameLimits.largest.width;
inline constexpr int kMaxDeliveredHeight = kStandardFrameLimits.largest.height;

// Clips larger than the limits are halved (integer division) where the limits say so.
bool needsHalving(FrameSize clip, FrameLimits limits = kStandardFrameLimits);
FrameSize halvedSize(FrameSize clip);
// The largest size with the aspect of `size` that fits the limits (at least 1 x 1); `size`
// itself when it fits already.
FrameSize fittedSize(FrameSize size, FrameLimits limits = kStandardFrameLimits);
// The size frames of a clip are delivered at at the standard composition.
inline FrameSize deliveredSize(FrameSize clip)
{
    return deliveredSize(clip, kStandardFrameLimits);
}

// Halves a 24-bit frame into packed rows: output row f is made from input row 2f, taking
// pixels 0, 2, 4, ... Input row r starts at firstRow + r x rowStride, so a top-down picture
// is read bottom-up with the last row and a negative stride, as our frames are counted.
void halveFrame(const std::uint8_t* firstRow, std::ptrdiff_t rowStride, FrameSize sourceSize,
    std::uint8_t* target);
// Pixels 0, 2, 4, ... of `size.height` rows of a 24-bit picture, into `size.width` packed
// pixels a row.
void pickEverySecondPixel(
    const std::uint8_t* firstRow, std::ptrdiff_t rowStride, FrameSize size, std::uint8_t* target);

// Scales packed 24-bit frames down by area averaging: every output pixel is the mean of the
// input area it covers, partly covered input pixels counting by the part covered. The
// weights are worked out once for a pair of sizes, in fixed point (1/256 steps) so that the
// row pass runs on 16-bit lanes.
class AreaScaler {
public:
    AreaScaler(FrameSize from, FrameSize to);
    FrameSize from() const { return m_from; }
    FrameSize to() const { return m_to; }
    void scale(const std::uint8_t* source, std::uint8_t* target);

private:
    static constexpr int kWeightOne = 256;
    // For each output pixel (or row): the first input pixel covered and `m_*Taps` weights,
    // zero past the last one covered, summing to kWeightOne.
    template <int Taps>
    std::uint8_t* scaleRow(const std::uint16_t* sum, std::uint8_t* target) const;
    static std::vector<int> taps(
        int from, int to, int& tapCount, std::vector<std::uint16_t>& weights);

    FrameSize m_from;
    FrameSize m_to;
    int m_columnTaps = 0;
    int m_rowTaps = 0;
    std::vector<int> m_columnFirst;
    std::vector<std::uint16_t> m_columnWeights;
    std::vector<int> m_rowFirst;
    std::vector<std::uint16_t> m_rowWeights;
    std::vector<std::uint16_t> m_rowSum; // one output row after the vertical pass, padded
};

} // namespace oskel
