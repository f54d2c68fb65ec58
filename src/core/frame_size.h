#pragma once

#include <cstddef>

#include "core/slot_geometry.h"

namespace oskel {

struct FrameSize {
    int width = 0;
    int height = 0;
    bool operator==(const FrameSize&) const = default;
};

// The pixel size the output is composed at. Clip rectangles stay in the 384 x 288 area and are
// scaled to it when drawn; at 384 x 288 nothing is scaled.
struct CompositionSize {
    int width = kAreaWidth;
    int height = kAreaHeight;
    bool operator==(const CompositionSize&) const = default;

    bool isStandard() const { return width <= kAreaWidth && height <= kAreaHeight; }
    std::size_t bgrBytes() const { return std::size_t(width) * std::size_t(height) * 3; }
};

inline constexpr CompositionSize kStandardComposition {};
// The largest composition: the sides `oskel3 render --size` accepts.
inline constexpr int kLargestCompositionSide = 4096;

// How large a clip's frames are delivered: at most `largest`; at the standard composition a
// clip larger than 384 x 288 is halved first (every second pixel of every second row), a
// larger composition keeps the clip's own pixels.
struct FrameLimits {
    FrameSize largest { kAreaWidth, kAreaHeight };
    bool halveLarge = true;
    bool operator==(const FrameLimits&) const = default;
};

inline constexpr FrameLimits kStandardFrameLimits {};
inline constexpr FrameLimits kFullFrameLimits { { 1920, 1080 }, false };

FrameLimits frameLimitsFor(CompositionSize composition);

// The size frames of a clip of `clip` pixels are delivered at: halved when large (where the
// limits halve), then fitted into the limits with the clip's aspect.
FrameSize deliveredSize(FrameSize clip, FrameLimits limits);

// The size in the 384 x 288 area of a clip whose frames are delivered at `delivered`: the
// frames' own size at the standard composition, so that rectangles, zooms and "actual size" are
// the same at every composition size.
FrameSize areaSizeOf(FrameSize delivered);
inline FrameSize areaSizeOf(int clipWidth, int clipHeight)
{
    return areaSizeOf(FrameSize { clipWidth, clipHeight });
}

} // namespace oskel
