#include "core/slot_geometry.h"

#include <algorithm>
#include <cmath>

#include "core/rounding.h"

namespace oskel {

namespace {

std::int32_t nearest(double value)
{
    return static_cast<std::int32_t>(roundHalfEven(value));
}

double centreX(const SlotRect& rect)
{
    return rect.left + rect.width() / 2.0;
}

double centreY(const SlotRect& rect)
{
    return rect.top + rect.height() / 2.0;
}

SlotRect around(double cx, double cy, double halfWidth, double halfHeight)
{
    return { nearest(cx - halfWidth), nearest(cy - halfHeight), nearest(cx + halfWidth),
        nearest(cy + halfHeight) };
}

SlotRect clippedToArea(SlotRect rect)
{
    rect.left = std::max(rect.left, 0);
    rect.top = std::max(rect.top, 0);
    rect.right = std::min(rect.right, kAreaWidth);
    rect.bottom = std::min(rect.bottom, kAreaHeight);
    return rect;
}

// One axis of a constrained move: keep the extent, stay inside 0..limit.
void constrainedMove(std::int32_t position, std::int32_t extent, std::int32_t limit,
    std::int32_t& nearEdge, std::int32_t& farEdge)
{
    if (position + extent > limit) {
        farEdge = limit;
        nearEdge = limit - extent;
    } else {
        nearEdge = position;
        farEdge = position + extent;
    }
    if (position <= 0) {
        nearEdge = 0;
        farEdge = extent;
    }
}

// One axis of a width or height change that keeps the centre.
void resizeAxis(std::int32_t extent, std::int32_t limit, bool constrained, std::int32_t& nearEdge,
    std::int32_t& farEdge)
{
    const double grow = (extent - (farEdge - nearEdge)) / 2.0;
    if (!constrained) {
        nearEdge = nearest(nearEdge - grow);
        farEdge = nearest(farEdge + grow);
        return;
    }
    nearEdge = nearest(nearEdge - grow);
    if (nearEdge < 1) {
        nearEdge = 0;
        farEdge = extent;
    } else {
        farEdge = nearest(farEdge + grow);
    }
    if (farEdge > limit) {
        farEdge = limit;
        nearEdge = std::max(limit - extent, 0);
    }
}

} // namespace

SlotRect moveTo(SlotRect rect, std::int32_t x, std::int32_t y, bool constrained)
{
    const std::int32_t w = rect.width();
    const std::int32_t h = rect.height();
    if (!constrained) {
        return { x, y, x + w, y + h };
    }
    constrainedMove(x, w, kAreaWidth, rect.left, rect.right);
    constrainedMove(y, h, kAreaHeight, rect.top, rect.bottom);
    return rect;
}

SlotRect positionFromController(SlotRect rect, bool horizontal, std::int32_t v, bool constrained)
{
    if (horizontal) {
        const std::int32_t w = rect.width();
        rect.left = constrained ? nearest(v / 127.0 * (kAreaWidth - w))
                                : nearest(v / 127.0 * (w + kAreaWidth)) - w;
        rect.right = rect.left + w;
    } else {
        const std::int32_t h = rect.height();
        rect.top = constrained ? nearest(v / 254.0 * (kAreaHeight - h))
                               : nearest(v / 254.0 * (h + kAreaHeight) - h);
        rect.bottom = rect.top + h;
    }
    return rect;
}

SlotRect zoom(SlotRect rect, std::int32_t clipWidth, std::int32_t clipHeight, std::int32_t v)
{
    const double cx = centreX(rect);
    const double cy = centreY(rect);
    if (v == 127) {
        rect = SlotRect {};
    } else if (v == 64) {
        rect.left = nearest(nearest(cx) - clipWidth / 2.0);
        rect.top = nearest(nearest(cy) - clipHeight / 2.0);
        rect.right = rect.left + clipWidth;
        rect.bottom = rect.top + clipHeight;
    } else {
        rect = around(cx, cy, v * clipWidth / 127.0, v * clipHeight / 127.0);
    }
    return clippedToArea(rect);
}

SlotRect resize(SlotRect rect, std::int32_t size, bool constrained)
{
    const double k = size / 336.0;
    rect = around(centreX(rect), centreY(rect), k * 192.0, k * 144.0);
    return constrained ? clippedToArea(rect) : rect;
}

SlotRect aspect(SlotRect rect, std::int32_t v, std::int32_t size)
{
    const double halfWidth = v * size / 127.0 / 2.0;
    const double halfHeight = (127 - v) * size / 127.0 / 2.0;
    return clippedToArea(around(centreX(rect), centreY(rect), halfWidth, halfHeight));
}

SlotRect setWidth(SlotRect rect, std::int32_t width, bool constrained)
{
    resizeAxis(width, kAreaWidth, constrained, rect.left, rect.right);
    return rect;
}

SlotRect setHeight(SlotRect rect, std::int32_t height, bool constrained)
{
    resizeAxis(height, kAreaHeight, constrained, rect.top, rect.bottom);
    return rect;
}

std::int64_t crossfadeVolumeA(std::int32_t p)
{
    return p > 74 ? -roundHalfEven(std::pow(3.0, (10.0 * p - 750.0) / 180.0) * 10.0) : 0;
}

std::int64_t crossfadeVolumeB(std::int32_t p)
{
    return p <= 180 ? -roundHalfEven(std::pow(3.0, (1800.0 - 10.0 * p) / 180.0) * 10.0) : 0;
}

} // namespace oskel
