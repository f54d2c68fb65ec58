#include <gtest/gtest.h>

#include "core/slot_geometry.h"

namespace oskel {

static void PrintTo(const SlotRect& r, std::ostream* out)
{
    *out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

TEST(SlotGeometry, ConstrainedMovesStayInsideTheArea)
{
    struct Case {
        SlotRect start;
        std::int32_t x, y;
        bool constrained;
        SlotRect expected;
    };
    const SlotRect clip { 0, 0, 100, 50 };
    for (const Case& c : std::vector<Case> {
             { clip, 10, 20, false, { 10, 20, 110, 70 } },
             { clip, 300, 260, false, { 300, 260, 400, 310 } },
             { clip, 300, 260, true, { 284, 238, 384, 288 } }, // pushed back from the far edges
             { clip, -30, -5, true, { 0, 0, 100, 50 } }, // and from the near ones
             { clip, -30, -5, false, { -30, -5, 70, 45 } },
             { { 0, 0, 500, 400 }, 10, 10, true, { -116, -112, 384, 288 } }, // wider: far edges win
         }) {
        EXPECT_EQ(moveTo(c.start, c.x, c.y, c.constrained), c.expected)
            << c.x << "," << c.y << " constrained " << c.constrained;
    }
}

TEST(SlotGeometry, WidthAndHeightChangesKeepTheCentre)
{
    struct Case {
        SlotRect start;
        std::int32_t extent;
        bool horizontal, constrained;
        SlotRect expected;
    };
    for (const Case& c : std::vector<Case> {
             { { 100, 100, 200, 150 }, 150, true, false, { 75, 100, 225, 150 } },
             { { 100, 100, 200, 150 }, 101, true, false, { 100, 100, 200, 150 } }, // 0.5 -> even
             { { 10, 0, 110, 50 }, 200, true, false, { -40, 0, 160, 50 } },
             { { 10, 0, 110, 50 }, 200, true, true, { 0, 0, 200, 50 } }, // near edge below 1
             { { 300, 0, 380, 50 }, 120, true, true, { 264, 0, 384, 50 } }, // past the far edge
             { { 0, 200, 50, 280 }, 100, false, true, { 0, 188, 50, 288 } },
             { { 10, 10, 20, 20 }, 500, true, true, { 0, 10, 384, 20 } }, // wider than the area
         }) {
        const SlotRect result = c.horizontal ? setWidth(c.start, c.extent, c.constrained)
                                             : setHeight(c.start, c.extent, c.constrained);
        EXPECT_EQ(result, c.expected) << ::testing::PrintToString(c.start) << " to " << c.extent;
    }
}

TEST(SlotGeometry, ControllerPositionZoomSizeAndAspect)
{
    const SlotRect clip { 0, 0, 100, 50 };
    EXPECT_EQ(positionFromController(clip, true, 127, true), (SlotRect { 284, 0, 384, 50 }));
    EXPECT_EQ(positionFromController(clip, true, 0, false), (SlotRect { -100, 0, 0, 50 }));
    EXPECT_EQ(positionFromController(clip, false, 254, true), (SlotRect { 0, 238, 100, 288 }));
    EXPECT_EQ(positionFromController(clip, false, 127, false), (SlotRect { 0, 119, 100, 169 }));

    const SlotRect centred { 32, 24, 352, 264 }; // 320 x 240 around (192, 144)
    EXPECT_EQ(zoom(centred, 320, 240, 64), centred);
    EXPECT_EQ(zoom(centred, 320, 240, 127), (SlotRect { 0, 0, 384, 288 }));
    EXPECT_EQ(zoom(centred, 320, 240, 0), (SlotRect { 192, 144, 192, 144 }));
    EXPECT_EQ(resize(centred, 336, false), (SlotRect { 0, 0, 384, 288 }));
    EXPECT_EQ(resize(centred, 672, false), (SlotRect { -192, -144, 576, 432 }));
    EXPECT_EQ(resize(centred, 672, true), (SlotRect { 0, 0, 384, 288 }));
    EXPECT_EQ(aspect(centred, 127, 336), (SlotRect { 24, 144, 360, 144 }));
}

TEST(SlotGeometry, CrossfadeVolumeLaw)
{
    EXPECT_EQ(crossfadeVolumeA(74), 0);
    EXPECT_EQ(crossfadeVolumeA(128), -254);
    EXPECT_EQ(crossfadeVolumeA(188), -9891);
    EXPECT_LT(crossfadeVolumeA(189), -10000);
    EXPECT_EQ(crossfadeVolumeB(128), -239);
    EXPECT_EQ(crossfadeVolumeB(67), -9891);
    EXPECT_EQ(crossfadeVolumeB(181), 0);
    EXPECT_EQ(crossfadeVolumeB(0), -590490);
}

} // namespace
} // namespace oskel
