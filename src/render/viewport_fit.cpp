#include "render/viewport_fit.h"

#include <algorithm>

#include "core/rounding.h"

namespace oskel {

namespace {

int roundedToInt(double value)
{
    return static_cast<int>(roundHalfEven(value));
}

double outputAspect(const DisplayOptions& display)
{
    const double composition = double { kCompositionWidth } / kCompositionHeight;
    if (!display.manualPreviewSize) {
        return composition;
    }
    // A settings file may hold anything: a part of zero or below means the usual aspect.
    if (display.previewAspectX <= 0 || display.previewAspectY <= 0) {
        return composition;
    }
    return static_cast<double>(display.previewAspectX) / display.previewAspectY;
}

} // namespace

Viewport fitViewport(const DisplayOptions& display)
{
    const double aspect = outputAspect(display);
    const double area = double { kCompositionWidth } / kCompositionHeight;
    Viewport viewport;
    if (area < aspect) {
        viewport.width = kCompositionWidth;
        // At least one pixel, however extreme the aspect.
        viewport.height = std::max(1, roundedToInt(kCompositionWidth / aspect));
        viewport.x = 0;
        viewport.y = roundedToInt((kCompositionHeight - viewport.height) / 2.0);
    } else {
        viewport.height = kCompositionHeight;
        viewport.width = std::max(1, roundedToInt(kCompositionHeight * aspect));
        viewport.x = roundedToInt((kCompositionWidth - viewport.width) / 2.0);
        viewport.y = 0;
    }
    viewport.aspect = static_cast<float>(viewport.width) / static_cast<float>(viewport.height);
    return viewport;
}

} // namespace oskel
