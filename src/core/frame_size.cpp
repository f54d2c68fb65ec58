#include "core/frame_size.h"

#include <algorithm>
#include <cmath>

namespace oskel {

namespace {

bool exceeds(FrameSize size, FrameSize largest)
{
    return size.width > largest.width || size.height > largest.height;
}

FrameSize halved(FrameSize size)
{
    // A side of one pixel stays one pixel.
    return { std::max(1, size.width / 2), std::max(1, size.height / 2) };
}

FrameSize fitted(FrameSize size, FrameSize largest)
{
    if (!exceeds(size, largest)) {
        return size;
    }
    const double scale
        = std::min(double(largest.width) / size.width, double(largest.height) / size.height);
    const auto fit = [scale](int length, int limit) {
        return std::clamp(static_cast<int>(std::lround(length * scale)), 1, limit);
    };
    return { fit(size.width, largest.width), fit(size.height, largest.height) };
}

} // namespace

FrameLimits frameLimitsFor(CompositionSize composition)
{
    return composition.isStandard() ? kStandardFrameLimits : kFullFrameLimits;
}

FrameSize deliveredSize(FrameSize clip, FrameLimits limits)
{
    const bool halve = limits.halveLarge && exceeds(clip, limits.largest);
    return fitted(halve ? halved(clip) : clip, limits.largest);
}

FrameSize areaSizeOf(FrameSize delivered)
{
    return deliveredSize(delivered, kStandardFrameLimits);
}

} // namespace oskel
