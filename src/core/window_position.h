#pragma once

#include <optional>

#include "core/options.h"

namespace oskel {

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// Stored coordinates further than this from the origin are taken as this far: no desktop
// reaches so far, and a window placed there can still be measured without overflow.
inline constexpr int kFarthestWindowPosition = 100000;

// Where the main window stands at its first activation: at the position kept in the settings
// file, even off every screen (Ctrl+F12 brings it back), or, without one, centred on the
// screen.
ScreenPoint mainWindowPosition(const std::optional<WindowPlacement>& stored,
    const ScreenRect& screen, int windowWidth, int windowHeight);

} // namespace oskel
