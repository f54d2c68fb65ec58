// Keys pressed in the instrument's windows reach the keyboard control by their place.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "ui/main_window.h"
#include "ui/output_window.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

// Linux input-event codes of the keys used here.
constexpr int kEscape = 1;
constexpr int kDigit5 = 6;
constexpr int kEquals = 13;
constexpr int kQ = 16;
constexpr int kBracketLeft = 26;
constexpr int kKeypad5 = 76;
constexpr int kF9 = 67;
constexpr int kF12 = 88;

using KeyForwardingTest = WindowsTest;

TEST_F(KeyForwardingTest, SlotKeysTriggerAndReleaseFromEveryWindow)
{
    pretendLoaded(1);
    pressKey(kQ);
    ASSERT_EQ(events.codes(), std::vector<int> { 0 });
    EXPECT_EQ(events.sent[0].Slot, 1);
    mailbox.TriggerSlot = 0; // as the audio thread takes it

    QWindow& output = *windows.outputWindow().windowHandle();
    sendKey(output, true, kQ, Qt::ShiftModifier, false);
    ASSERT_EQ(events.codes(), (std::vector<int> { 0, 10 }));
    EXPECT_EQ(events.sent[1].Slot, 1);
}

TEST_F(KeyForwardingTest, AHeldKeyRepeatsReachTheLogicWhichDecides)
{
    performance.globals().BPM = 120.0;
    pressKey(kEquals);
    for (int repeat = 0; repeat < 20; ++repeat) {
        pressKey(kEquals, Qt::NoModifier, true);
    }
    EXPECT_DOUBLE_EQ(performance.globals().BPM, 125.0) << "held, not raised once per repeat";
    EXPECT_EQ(find<QLineEdit>("ebBPM").text(), "125");
    releaseKey(kEquals);
    EXPECT_DOUBLE_EQ(performance.globals().BPM, 120.0);
}

TEST_F(KeyForwardingTest, OptionKeysShowTheirButtonWithoutSendingFromIt)
{
    pressKey(kF9);
    EXPECT_TRUE(performance.globals().NewTriggerStopsClips);
    EXPECT_TRUE(find<QPushButton>("cbMonophonic").isChecked());
    pressKey(kF9);
    EXPECT_FALSE(find<QPushButton>("cbMonophonic").isChecked());
    EXPECT_TRUE(events.sent.empty());
}

TEST_F(KeyForwardingTest, DigitsGoToTheTempoFieldWhileItHasTheFocus)
{
    pretendLoaded(2);
    performance.selectSlot(2);
    pressKey(kDigit5);
    ASSERT_EQ(events.codes(), std::vector<int> { 3 }) << "speed key of the selected slot";
    EXPECT_EQ(events.sent[0].Value, 44100);

    events.sent.clear();
    auto& field = find<QLineEdit>("ebBPM");
    field.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return field.hasFocus(); }));
    pressKey(kKeypad5);
    pressKey(kDigit5);
    EXPECT_TRUE(events.sent.empty());
    field.clearFocus();
    pressKey(kEscape);
    EXPECT_EQ(events.codes(), std::vector<int> { 25 });
}

TEST_F(KeyForwardingTest, KeysOfOtherWindowsAndKeysWhileLoadingAreLeftAlone)
{
    pretendLoaded(1);
    QWidget stranger;
    stranger.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stranger));
    sendKey(*stranger.windowHandle(), true, kQ, Qt::NoModifier, false);
    EXPECT_TRUE(events.sent.empty());

    performance.globals().loadingBusy = true;
    pressKey(kQ);
    EXPECT_TRUE(events.sent.empty());
}

TEST_F(KeyForwardingTest, AFailingKeyIsReportedOnceItsHandlerHasReturned)
{
    pretendLoaded(2); // a clip without sound buffers: its play position cannot be read
    performance.selectSlot(2);
    pressKey(kBracketLeft);
    EXPECT_TRUE(dialogs.messages.empty());
    settle();
    EXPECT_EQ(dialogs.messages,
        std::vector<std::string> { "Could not get audio position in Set InPoint" });
}

TEST_F(KeyForwardingTest, CtrlF12BringsWindowsPlacedOffEveryScreenBack)
{
    windows.mainWindow().move(-40000, 60000);
    windows.outputWindow().move(90000, 90000);
    pressKey(kF12, Qt::ControlModifier);
    settle();
    EXPECT_EQ(windows.mainWindow().pos(), QPoint(0, 0));
    EXPECT_EQ(windows.outputWindow().pos(), QPoint(0, 0));
}

} // namespace
} // namespace oskel::test
