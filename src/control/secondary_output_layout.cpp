#include "control/secondary_output_layout.h"

#include <algorithm>

namespace oskel::secondary_output {

namespace {

struct Edges {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0; // exclusive
    std::int64_t bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
};

Edges edgesOf(const ScreenRect& area)
{
    return { area.left, area.top, std::int64_t(area.left) + area.width,
        std::int64_t(area.top) + area.height };
}

Edges intersection(const Edges& a, const Edges& b)
{
    return { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
        std::min(a.bottom, b.bottom) };
}

ScreenRect rectOf(const Edges& edges)
{
    return { int(edges.left), int(edges.top), int(edges.right - edges.left),
        int(edges.bottom - edges.top) };
}

int primaryMonitor(const Monitors& monitors)
{
    const auto primary = std::find_if(
        monitors.begin(), monitors.end(), [](const Monitor& each) { return each.primary; });
    return primary == monitors.end() ? 0 : int(primary - monitors.begin());
}

std::string rectText(const ScreenRect& area)
{
    return std::to_string(area.left) + ", " + std::to_string(area.top) + ", "
        + std::to_string(area.width) + " x " + std::to_string(area.height);
}

std::int64_t farthest(std::int64_t value)
{
    return std::clamp<std::int64_t>(value, -kFarthestWindowPosition, kFarthestWindowPosition);
}

} // namespace

ScreenRect desktopArea(const Monitors& monitors)
{
    if (monitors.empty()) {
        return {};
    }
    Edges all = edgesOf(monitors.front().area);
    for (const Monitor& each : monitors) {
        const Edges edges = edgesOf(each.area);
        all = { std::min(all.left, edges.left), std::min(all.top, edges.top),
            std::max(all.right, edges.right), std::max(all.bottom, edges.bottom) };
    }
    return rectOf(all);
}

int monitorAt(const Monitors& monitors, ScreenPoint point)
{
    for (std::size_t index = 0; index < monitors.size(); ++index) {
        const Edges edges = edgesOf(monitors[index].area);
        if (point.x >= edges.left && point.x < edges.right && point.y >= edges.top
            && point.y < edges.bottom) {
            return int(index);
        }
    }
    return -1;
}

ScreenRect collapsedPlace(const Monitors& monitors, int mainWindowMonitor)
{
    if (monitors.empty()) {
        return { 0, 0, kCollapsedWidth, kCollapsedHeight };
    }
    const bool known = mainWindowMonitor >= 0 && mainWindowMonitor < int(monitors.size());
    const int monitor = known ? mainWindowMonitor : primaryMonitor(monitors);
    const ScreenRect& area = monitors[std::size_t(monitor)].area;
    return { area.left, area.top, kCollapsedWidth, kCollapsedHeight };
}

Placement monitorPlace(const Monitors& monitors, ScreenPoint position)
{
    if (monitors.empty()) {
        return { {}, -1, "No monitor is connected: the secondary output cannot be expanded." };
    }
    const int held = monitorAt(monitors, position);
    if (held >= 0) {
        return { monitors[std::size_t(held)].area, held, {} };
    }
    const auto other = std::find_if(
        monitors.begin(), monitors.end(), [](const Monitor& each) { return !each.primary; });
    const int chosen
        = other != monitors.end() ? int(other - monitors.begin()) : primaryMonitor(monitors);
    return { monitors[std::size_t(chosen)].area, chosen,
        "The monitor the secondary output was on is not connected: it is shown on monitor "
            + std::to_string(chosen + 1) + " instead." };
}

CustomRect checkCustomRect(const Monitors& monitors, std::int64_t left, std::int64_t top,
    std::int64_t width, std::int64_t height)
{
    if (width <= 0 || height <= 0) {
        return { std::nullopt,
            "The output's width and height must both be more than 0: it was not changed." };
    }
    const Edges asked { farthest(left), farthest(top), farthest(left) + farthest(width),
        farthest(top) + farthest(height) };
    const bool onAMonitor = std::any_of(monitors.begin(), monitors.end(),
        [&](const Monitor& each) { return !intersection(asked, edgesOf(each.area)).empty(); });
    if (!onAMonitor) {
        return { std::nullopt, "The output rectangle lies off every monitor: it was not changed." };
    }
    const Edges cut = intersection(asked, edgesOf(desktopArea(monitors)));
    const ScreenRect area = rectOf(cut);
    const bool whole = cut.left == left && cut.top == top && cut.right == left + width
        && cut.bottom == top + height;
    if (whole) {
        return { area, {} };
    }
    return { area,
        "The output rectangle reached beyond the desktop: it was cut to " + rectText(area) + "." };
}

CustomRect storedCustomRect(const Monitors& monitors, const SecondaryOutputPlace& place)
{
    const ScreenRect fields = customFields(monitors, place);
    return checkCustomRect(monitors, fields.left, fields.top, fields.width, fields.height);
}

ScreenRect customFields(const Monitors& monitors, const SecondaryOutputPlace& place)
{
    const Edges desktop = edgesOf(desktopArea(monitors));
    const std::int64_t right = place.customRight.value_or(std::int32_t(desktop.right));
    const std::int64_t bottom = place.customBottom.value_or(std::int32_t(desktop.bottom));
    const auto size = [](std::int64_t value) {
        return int(std::clamp<std::int64_t>(
            value, -2 * kFarthestWindowPosition, 2 * kFarthestWindowPosition));
    };
    return { int(farthest(place.customLeft)), int(farthest(place.customTop)),
        size(right - place.customLeft), size(bottom - place.customTop) };
}

} // namespace oskel::secondary_output
