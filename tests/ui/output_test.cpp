// The output on the real windows: dragging clips on the display panel, slot thumbnails
// dropped on it, and the output window's full-screen display mode.
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "ui/main_window.h"
#include "ui/output_view.h"
#include "ui/output_window.h"
#include "ui/slot_panel.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

class OutputTest : public WindowsTest {
protected:
    OutputView& display() { return windows.mainWindow().display(); }

    // A playing slot drawn over the whole composition area.
    void playFullArea(int slot)
    {
        pretendLoaded(slot);
        TPlayAvistruct& record = performance.slot(slot);
        record.Playing = true;
        record.Left = 0;
        record.Top = 0;
        record.Right = 384;
        record.Bottom = 288;
        performance.copyLiveToSnapshot();
    }

    bool dropSlotOn(QWidget& target, int slot)
    {
        QMimeData data;
        data.setData(SlotPanel::kSlotMimeType, QByteArray::number(slot));
        QDragEnterEvent enter(
            QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &dropped);
        return true;
    }
};

TEST_F(OutputTest, DraggingAPlayingClipMovesItOnTheComposition)
{
    playFullArea(4);
    QTest::mousePress(&display(), Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&display(), QPoint(110, 95));
    QTest::mouseRelease(&display(), Qt::LeftButton, {}, QPoint(120, 90));
    ASSERT_FALSE(events.sent.empty());
    for (const TSlotEvent& sent : events.sent) {
        EXPECT_EQ(sent.Code, 16);
        EXPECT_EQ(sent.Slot, 4);
    }
    // The display panel is 384 x 288, one composition unit per pixel.
    EXPECT_EQ(events.sent.back().Value, 20);
    EXPECT_EQ(events.sent.back().Value2, -10);
    EXPECT_EQ(performance.slot(4).Left, 20);
    EXPECT_EQ(performance.slot(4).Top, -10);
}

TEST_F(OutputTest, ThePointerAndKeysOnTheDrawingSurfaceActAsOnTheWindow)
{
    playFullArea(1);
    QWindow& surface = display().surfaceWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&surface));
    QTest::mousePress(&surface, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseRelease(&surface, Qt::LeftButton, {}, QPoint(130, 100));
    ASSERT_FALSE(events.sent.empty());
    EXPECT_EQ(events.sent.back().Code, 16);
    EXPECT_EQ(events.sent.back().Value, 30);

    events.sent.clear();
    sendKey(surface, true, 16, Qt::NoModifier, false); // Q
    ASSERT_EQ(events.codes(), std::vector<int> { 0 });
    EXPECT_EQ(events.sent[0].Slot, 1);
}

TEST_F(OutputTest, TheRightButtonSelectsTheClipAndDragsNothing)
{
    playFullArea(4);
    QTest::mousePress(&display(), Qt::RightButton, {}, QPoint(100, 100));
    QTest::mouseRelease(&display(), Qt::RightButton, {}, QPoint(150, 150));
    EXPECT_EQ(performance.globals().selectedSlot, 4);
    EXPECT_TRUE(events.sent.empty());
}

TEST_F(OutputTest, AThumbnailOfALoadedSlotDroppedOnTheOutputTriggersIt)
{
    EXPECT_FALSE(dropSlotOn(display(), 7)) << "an empty slot is refused";
    pretendLoaded(7);
    performance.slot(7).Mute = true;
    EXPECT_TRUE(dropSlotOn(windows.outputWindow().view(), 7));
    ASSERT_EQ(events.codes(), std::vector<int> { 0 });
    EXPECT_EQ(events.sent[0].Slot, 7);
    EXPECT_EQ(events.sent[0].Value, -8000);
}

TEST_F(OutputTest, MaximizeTogglesTheOutputWindowFullScreen)
{
    auto& button = find<QPushButton>("bMaximize");
    EXPECT_EQ(button.text(), "Maximize");
    click("bMaximize");
    EXPECT_TRUE(windows.outputWindow().isShownFullScreen());
    EXPECT_TRUE(windows.outputWindow().windowState().testFlag(Qt::WindowFullScreen));
    EXPECT_EQ(button.text(), "Window Display");
    EXPECT_TRUE(performance.globals().standby);
    EXPECT_TRUE(find<QPushButton>("cbStandby").isChecked());
    EXPECT_EQ(syncRestarts, std::vector<bool> { false });

    click("bMaximize");
    EXPECT_FALSE(windows.outputWindow().isShownFullScreen());
    EXPECT_FALSE(windows.outputWindow().windowState().testFlag(Qt::WindowFullScreen));
    EXPECT_EQ(button.text(), "Maximize");
}

} // namespace
} // namespace oskel::test
