#include <gtest/gtest.h>

#include "control/output_mouse.h"
#include "support/recording_event_sink.h"
#include "support/recording_user_interface.h"

namespace oskel {
namespace {

using Surface = OutputMouse::Surface;
using Button = OutputMouse::Button;

class OutputMouseTest : public ::testing::Test {
protected:
    // A playing slot drawn over the rectangle, in the snapshot the output reads.
    TPlayAvistruct& playing(int number, int left, int top, int right, int bottom)
    {
        performance.slot(number).Loaded = true;
        TPlayAvistruct& slot = performance.snapshot()[number];
        slot.Loaded = true;
        slot.Playing = true;
        slot.Left = left;
        slot.Top = top;
        slot.Right = right;
        slot.Bottom = bottom;
        return slot;
    }
    // A display twice the composition size: two pixels per unit.
    void press(Button button, int x, int y, Surface surface = Surface::MainDisplay)
    {
        mouse.DisplayMouseDown(surface, button, x, y, 768, 576);
    }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    test::RecordingEventSink events;
    SelectionOnlyInspector inspector { performance };
    OutputMouse mouse { performance, events, inspector };
};

TEST_F(OutputMouseTest, TheTopmostDrawnLayerIsHit)
{
    playing(1, 0, 0, 384, 288);
    playing(2, 0, 0, 192, 144);
    press(Button::Left, 100, 100);
    EXPECT_EQ(mouse.draggedSlot(), 2) << "slot 2 lies above slot 1 in the first order";
    press(Button::Left, 500, 100);
    EXPECT_EQ(mouse.draggedSlot(), 1) << "outside slot 2";

    performance.bringToFront(1);
    press(Button::Left, 100, 100);
    EXPECT_EQ(mouse.draggedSlot(), 1);

    performance.snapshot()[1].Playing = false;
    press(Button::Left, 100, 100);
    EXPECT_EQ(mouse.draggedSlot(), 2) << "a stopped slot is not hit";

    TPlayAvistruct& hidden = performance.snapshot()[2];
    hidden.InstallationMode = true;
    hidden.Shown = false;
    press(Button::Left, 100, 100);
    EXPECT_EQ(mouse.draggedSlot(), 0) << "a hidden sync-mode slot is not hit";
    EXPECT_FALSE(mouse.dragging());
    hidden.Shown = true;
    press(Button::Left, 384, 288); // the edges belong to the rectangle
    EXPECT_EQ(mouse.draggedSlot(), 2);
}

TEST_F(OutputMouseTest, ALeftDragMovesTheClipByRoundedCompositionUnits)
{
    playing(2, 10, 20, 110, 120);
    press(Button::Left, 100, 100);
    EXPECT_TRUE(mouse.dragging());
    EXPECT_EQ(inspector.inspectedSlot(), 2);
    mouse.DisplayMouseMove(103, 101); // 1.5 and 0.5 units
    mouse.DisplayMouseMove(105, 97); // 2.5 and -1.5 units
    mouse.DisplayMouseUp(90, 100);
    mouse.DisplayMouseMove(200, 200); // no longer dragging
    EXPECT_EQ(events.take(),
        (std::vector<TSlotEvent> { { 16, 12, 20, 2 }, { 16, 12, 18, 2 }, { 16, 5, 20, 2 } }));
    EXPECT_FALSE(mouse.dragging());
}

TEST_F(OutputMouseTest, ARightClickOpensTheInspectorWithoutDragging)
{
    playing(3, 0, 0, 384, 288);
    press(Button::Right, 10, 10);
    EXPECT_EQ(inspector.inspectedSlot(), 3);
    EXPECT_FALSE(mouse.dragging());
    mouse.DisplayMouseMove(50, 50);
    mouse.DisplayMouseUp(50, 50);
    EXPECT_TRUE(events.events.empty());
}

TEST_F(OutputMouseTest, WithThePointerHiddenTheSecondaryOutputDragsTheSelectedSlot)
{
    performance.options().display.ShowMouseOverSecDisplay = false;
    playing(1, 0, 0, 384, 288);
    playing(4, 100, 100, 200, 200);
    performance.selectSlot(4);
    press(Button::Left, 10, 10, Surface::SecondaryOutput);
    EXPECT_EQ(mouse.draggedSlot(), 4) << "wherever the pointer starts";
    mouse.DisplayMouseUp(12, 10);
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 16, 101, 100, 4 } }));

    press(Button::Left, 10, 10, Surface::MainDisplay);
    EXPECT_EQ(mouse.draggedSlot(), 1) << "the main display hit-tests as ever";

    performance.selectSlot(kNoSlot);
    press(Button::Left, 10, 10, Surface::SecondaryOutput);
    EXPECT_FALSE(mouse.dragging());
}

TEST_F(OutputMouseTest, AnEmptyDrawingAreaNeverMoves)
{
    performance.options().display.ShowMouseOverSecDisplay = false;
    playing(1, 0, 0, 384, 288);
    performance.selectSlot(1);
    mouse.DisplayMouseDown(Surface::SecondaryOutput, Button::Left, 5, 5, 0, -3);
    mouse.DisplayMouseMove(50, 50);
    mouse.DisplayMouseUp(50, 50);
    EXPECT_TRUE(events.events.empty());
    EXPECT_FALSE(mouse.dragging());
}

TEST_F(OutputMouseTest, OnlyALoadedSlotsThumbnailTriggersOnTheOutput)
{
    TPlayAvistruct& slot = performance.slot(5);
    EXPECT_FALSE(mouse.DisplayDragOver(5));
    slot.Loaded = true;
    slot.Volume = -300;
    slot.Balance = 90;
    EXPECT_TRUE(mouse.DisplayDragOver(5));
    for (int tag : { 0, 17, 1000, -1 }) {
        EXPECT_FALSE(mouse.DisplayDragOver(tag)) << tag;
        mouse.DisplayDragDrop(tag);
    }
    mouse.DisplayDragDrop(5);
    slot.Mute = true;
    mouse.DisplayDragDrop(5);
    EXPECT_EQ(events.take(), (std::vector<TSlotEvent> { { 0, -300, 90, 5 }, { 0, -8000, 90, 5 } }));
}

} // namespace
} // namespace oskel
