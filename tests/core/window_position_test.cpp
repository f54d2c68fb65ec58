// Where the main window comes up.
#include <climits>

#include <gtest/gtest.h>

#include "core/window_position.h"

namespace oskel {
namespace {

TEST(WindowPositionTest, StoredPositionsStandEvenOffScreenButWithinReach)
{
    const ScreenRect screen { 0, 0, 1920, 1080 };
    struct Case {
        WindowPlacement stored;
        ScreenPoint expected;
    };
    const Case cases[] = {
        { { 100, 50, false }, { 100, 50 } },
        { { -5000, 9000, false }, { -5000, 9000 } },
        { { INT_MAX, INT_MIN, false }, { kFarthestWindowPosition, -kFarthestWindowPosition } },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mainWindowPosition(c.stored, screen, 1024, 748), c.expected);
    }
}

TEST(WindowPositionTest, WithoutAStoredPositionTheWindowIsCentredOnItsScreen)
{
    EXPECT_EQ(mainWindowPosition(std::nullopt, { 0, 0, 1920, 1080 }, 1024, 748),
        (ScreenPoint { 448, 166 }));
    EXPECT_EQ(mainWindowPosition(std::nullopt, { 1920, 0, 1280, 1024 }, 1024, 748),
        (ScreenPoint { 2048, 138 }));
    EXPECT_EQ(mainWindowPosition(std::nullopt, { 0, 0, 800, 600 }, 1024, 748),
        (ScreenPoint { -112, -74 }));
}

} // namespace
} // namespace oskel
