#include "core/window_position.h"

#include <algorithm>

namespace oskel {

ScreenPoint mainWindowPosition(const std::optional<WindowPlacement>& stored,
    const ScreenRect& screen, int windowWidth, int windowHeight)
{
    if (stored) {
        return { std::clamp(stored->left, -kFarthestWindowPosition, kFarthestWindowPosition),
            std::clamp(stored->top, -kFarthestWindowPosition, kFarthestWindowPosition) };
    }
    return { screen.left + (screen.width - windowWidth) / 2,
        screen.top + (screen.height - windowHeight) / 2 };
}

} // namespace oskel
