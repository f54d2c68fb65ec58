#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/options.h"
#include "core/window_position.h"

namespace oskel::secondary_output {

// Where the secondary output window goes: collapsed, a small control window on the main
// window's monitor; expanded, the whole of a monitor or a rectangle of the desktop given in
// desktop coordinates. The monitors are the ones the windowing system reports now: one may
// have been unplugged since the settings file was written.

struct Monitor {
    ScreenRect area; // desktop coordinates
    bool primary = false;
};
using Monitors = std::vector<Monitor>;

inline constexpr int kCollapsedWidth = 300;
inline constexpr int kCollapsedHeight = 156;

// The smallest rectangle holding every monitor; empty without monitors.
ScreenRect desktopArea(const Monitors& monitors);
// The monitor holding the point, or -1.
int monitorAt(const Monitors& monitors, ScreenPoint point);

// The collapsed window's client area: 300 x 156 at the top left of the main window's monitor
// (the primary monitor when that one is not known).
ScreenRect collapsedPlace(const Monitors& monitors, int mainWindowMonitor);

// An expanded place and, when the performer must hear of it, why it is not the one asked for.
struct Placement {
    ScreenRect area;
    int monitor = -1; // the monitor filled, -1 for a custom rectangle
    std::string problem;
};

// Expanded over the whole monitor that holds `position` (where the window is, or was when it
// was last expanded). When no monitor holds it (that monitor was unplugged) the output goes to
// the first monitor that is not the primary one, else to the primary one, and `problem` says so.
Placement monitorPlace(const Monitors& monitors, ScreenPoint position);

// A custom rectangle as the performer typed it, checked against the monitors: refused (no
// rectangle, `message` says why) when its width or height is not above 0 or it lies off every
// monitor; otherwise its part inside the desktop, with `message` saying so when it was cut.
struct CustomRect {
    std::optional<ScreenRect> area;
    std::string message;
};
CustomRect checkCustomRect(const Monitors& monitors, std::int64_t left, std::int64_t top,
    std::int64_t width, std::int64_t height);

// The custom rectangle the settings keep (right and bottom exclusive, the desktop's right and
// bottom edges when not kept), checked as the performer's would be.
CustomRect storedCustomRect(const Monitors& monitors, const SecondaryOutputPlace& place);

// What the custom coordinates dialog shows: left, top, width and height of the kept rectangle.
ScreenRect customFields(const Monitors& monitors, const SecondaryOutputPlace& place);

} // namespace oskel::secondary_output
