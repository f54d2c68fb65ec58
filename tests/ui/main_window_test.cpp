// The main window's controls on the real window: what each sends, and what it shows.
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <thread>

#include "core/control_names.h"
#include "ui/main_window.h"
#include "ui/output_window.h"
#include "ui/picture_view.h"
#include "ui/slot_grid_widget.h"
#include "ui/slot_panel.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

using MainWindowTest = WindowsTest;

TEST_F(MainWindowTest, CaptionsAndTheWorkingSizeOnFirstActivation)
{
    MainWindow& main = windows.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    EXPECT_EQ(main.windowTitle(), "Oskel 3");
    EXPECT_EQ(main.size(), QSize(1024, 748));
    EXPECT_EQ(find<QWidget>("pnDisplay").size(), QSize(384, 288));
    EXPECT_EQ(windows.outputWindow().windowTitle(), " Composition Screen");
    EXPECT_TRUE(windows.outputWindow().isVisible());
}

// Buttons that set an option: the option follows the button both ways, and those that are
// events send exactly one.
TEST_F(MainWindowTest, OptionButtonsSetTheirOptionBothWays)
{
    GlobalState& globals = performance.globals();
    struct Case {
        const char* button;
        std::function<bool()> option;
        int eventCode; // -1: set directly
    };
    const Case cases[] = {
        { "cbTriggerToFront", [&] { return bool { globals.Layering }; }, 13 },
        { "cbLoop", [&] { return bool { globals.Loop }; }, 6 },
        { "cbMonophonic", [&] { return globals.NewTriggerStopsClips; }, -1 },
        { "cbPCNoteOff", [&] { return globals.PCKeyNoteOff; }, -1 },
        { "cbSyncMode", [&] { return globals.LoadClipsInSyncMode; }, -1 },
        { "cbFullScreen", [&] { return globals.LoadClipsFullscreen; }, -1 },
        { "cbKeepSettings", [&] { return globals.LoadClipsKeepSettings; }, -1 },
        { "cbAuto", [&] { return globals.AutoAdvance; }, -1 },
        { "cbRandom", [&] { return globals.RandomAdvance; }, -1 },
        { "cbAutoBPM", [&] { return globals.BPMfollow; }, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        auto& button = find<QPushButton>(c.button);
        EXPECT_EQ(button.isChecked(), c.option()) << "the button shows the option at start";
        for (int press = 0; press < 2; ++press) {
            events.sent.clear();
            click(c.button);
            EXPECT_EQ(c.option(), button.isChecked());
            if (c.eventCode >= 0) {
                ASSERT_EQ(events.codes(), std::vector<int> { c.eventCode });
                EXPECT_EQ(events.sent[0].Value, button.isChecked() ? 1 : 0);
            } else {
                EXPECT_TRUE(events.sent.empty());
            }
        }
    }
}

TEST_F(MainWindowTest, ValuesTheLogicShowsSendNothingBack)
{
    processor.ProcessEvent(TSlotEvent { 6, 0, 0, 0 });
    processor.ProcessEvent(TSlotEvent { 12, 1, 0, 0 });
    processor.ProcessEvent(TSlotEvent { 36, 40, 0, 0 });
    processor.ProcessEvent(TSlotEvent { 39, 99, 0, 1 });
    EXPECT_FALSE(find<QPushButton>("cbLoop").isChecked());
    EXPECT_TRUE(find<QPushButton>("cbTrails").isChecked());
    EXPECT_EQ(find<QSlider>("tbTrailsStrength").value(), 40);
    EXPECT_EQ(find<QSlider>("tbMasterVolume").value(), 99);
    EXPECT_TRUE(events.sent.empty()) << "no control sent an event of its own";
}

TEST_F(MainWindowTest, StandbyStopAndClear)
{
    click("cbStandby");
    EXPECT_EQ(events.codes(), (std::vector<int> { 28 }));
    EXPECT_TRUE(performance.globals().standby);
    EXPECT_TRUE(find<QPushButton>("cbStandby").isChecked());
    EXPECT_EQ(find<QPushButton>("lStatus").text(), "Standby");

    click("cbStandby");
    EXPECT_EQ(events.codes(), (std::vector<int> { 28, 29 }));
    EXPECT_FALSE(performance.globals().standby);
    EXPECT_FALSE(find<QPushButton>("cbStandby").isChecked());

    events.sent.clear();
    click("bStop");
    click("bClearScreen");
    EXPECT_EQ(events.codes(), (std::vector<int> { 25, 11 }));
}

TEST_F(MainWindowTest, MasterVolumeAndMute)
{
    auto& volume = find<QSlider>("tbMasterVolume");
    volume.setValue(200);
    click("cbMasterMute");
    volume.setValue(150); // muted: the fader does nothing
    click("cbMasterMute");
    ASSERT_EQ(events.codes(), (std::vector<int> { 39, 39, 39 }));
    EXPECT_EQ(events.sent[0].Value, 200);
    EXPECT_EQ(events.sent[1].Value, 0);
    EXPECT_EQ(events.sent[2].Value, 150);
    for (const TSlotEvent& sent : events.sent) {
        EXPECT_EQ(sent.Slot, 1);
    }
}

TEST_F(MainWindowTest, TrailsStrengthSendsOnlyWhileASlotIsSelected)
{
    auto& strength = find<QSlider>("tbTrailsStrength");
    strength.setValue(10);
    EXPECT_TRUE(events.sent.empty());
    pretendLoaded(2);
    performance.selectSlot(2);
    strength.setValue(20);
    ASSERT_EQ(events.codes(), std::vector<int> { 36 });
    EXPECT_EQ(performance.globals().trailsStrength, 20);
}

TEST_F(MainWindowTest, TempoFieldTapAndBpmLabel)
{
    auto& field = find<QLineEdit>("ebBPM");
    EXPECT_EQ(field.text(), "150");

    field.setFocus();
    QTest::keyClicks(&field, "x");
    EXPECT_EQ(field.text(), "150") << "a letter turns the text back into the tempo";
    field.clear();
    QTest::keyClicks(&field, "120.5");
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(performance.globals().BPM, 120.5);

    for (int tap = 0; tap < 8; ++tap) {
        click("bTap");
        nowMs += 500;
    }
    EXPECT_DOUBLE_EQ(performance.globals().BPM, 120.0);
    EXPECT_EQ(field.text(), "120");
    EXPECT_EQ(find<QPushButton>("bTap").text(), "Tap 0");

    pretendLoaded(5);
    TPlayAvistruct& slot = performance.slot(5);
    slot.FollowBPM = true;
    slot.ClipBPM = 60.0;
    click("lBPM");
    ASSERT_EQ(events.codes(), std::vector<int> { 3 });
    EXPECT_EQ(events.sent[0].Value, 88200) << "a following slot retuned to twice its speed";

    click("bSync");
    EXPECT_EQ(syncRestarts, std::vector<bool> { false });
}

TEST_F(MainWindowTest, CopyButtonsActAsOneChoice)
{
    click("rbSettingsOnly");
    EXPECT_TRUE(find<QPushButton>("rbSettingsOnly").isChecked());
    EXPECT_FALSE(find<QPushButton>("rbClipOnly").isChecked());
    EXPECT_FALSE(find<QPushButton>("rbClipWithSettings").isChecked());
    click("rbClipOnly");
    EXPECT_FALSE(find<QPushButton>("rbSettingsOnly").isChecked());
    EXPECT_TRUE(find<QPushButton>("rbClipOnly").isChecked());
}

TEST_F(MainWindowTest, StatusLineShowsFreeMemoryWhenClicked)
{
    click("lStatus");
    EXPECT_TRUE(find<QPushButton>("lStatus").text().endsWith(" Mb RAM Free"));
}

TEST_F(MainWindowTest, ClosingTheWindowShutsTheInstrumentDownOnceAndKeepsItsPlace)
{
    MainWindow& main = windows.mainWindow();
    main.move(123, 45);
    settle();
    EXPECT_TRUE(main.close());
    EXPECT_EQ(shutDowns, 1);
    ASSERT_TRUE(performance.options().windows.main.has_value());
    EXPECT_EQ(performance.options().windows.main->left, main.x());
    EXPECT_EQ(performance.options().windows.main->top, main.y());
    EXPECT_FALSE(windows.outputWindow().isVisible());
    windows.shutDown();
    EXPECT_EQ(shutDowns, 1);
}

TEST_F(MainWindowTest, ClosingWhileTheClipDialogIsOpenWaitsForIt)
{
    pretendLoaded(1);
    dialogs.whileChoosing = [&] {
        EXPECT_FALSE(windows.mainWindow().close()) << "refused while the dialog is open";
        EXPECT_EQ(shutDowns, 0);
    };
    pressKey(16, Qt::AltModifier); // Alt+Q: the clip dialog of slot 1
    settle();
    ASSERT_EQ(dialogs.clipFolders.size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shutDowns == 1; }, 2000));
    EXPECT_FALSE(windows.mainWindow().isVisible());
}

TEST_F(MainWindowTest, TheCrossfaderTakesSlotsDroppedOnItsPreviewsAndFades)
{
    pretendLoaded(3);
    QImage still(96, 72, QImage::Format_RGB888);
    still.fill(Qt::green);
    windows.mainWindow().grid().panel(3).showThumbnail(still, "still");
    auto& previewA = find<PictureView>("pnCFpreviewA");
    QMimeData data;
    data.setData(SlotPanel::kSlotMimeType, QByteArray::number(3));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&previewA, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&previewA, &dropped);
    EXPECT_EQ(windows.mixer().slotA(), 3);
    EXPECT_EQ(find<QLabel>("lCrossfadeL").text(), "W");
    EXPECT_EQ(previewA.picture().pixelColor(1, 1), QColor(Qt::green));
    EXPECT_TRUE(events.sent.empty()) << "nothing is faded while the crossfader is off";

    click("cbCrossFadeEnable");
    events.sent.clear();
    find<QSlider>("sbCrossFade").setValue(128);
    ASSERT_FALSE(events.sent.empty());
    EXPECT_EQ(events.sent[0].Code, 37);
    EXPECT_EQ(events.sent[0].Value, 128);
    EXPECT_EQ(events.sent[0].Slot, 3);
    EXPECT_EQ(events.sent[0].Value2, 2);

    events.sent.clear();
    QTest::mousePress(&find<QPushButton>("bTransformA"), Qt::LeftButton);
    ASSERT_FALSE(events.sent.empty());
    EXPECT_EQ(events.sent[0].Slot, 3) << "side A to full strength while held";
    events.sent.clear();
    QTest::mouseRelease(&find<QPushButton>("bTransformA"), Qt::LeftButton);
    ASSERT_FALSE(events.sent.empty());
    EXPECT_EQ(events.sent[0].Code, 37) << "back to the slider's position";
}

TEST_F(MainWindowTest, TheLogicMayShowFromAnotherThread)
{
    std::thread([&] { windows.ui().setStatusText("from elsewhere"); }).join();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return find<QPushButton>("lStatus").text() == "from elsewhere"; }));
    DialogAnswer answer = DialogAnswer::Yes;
    std::thread([&] { answer = windows.ui().ask("Go on?", DialogButtons::YesNo); }).join();
    EXPECT_EQ(answer, DialogAnswer::No) << "no performer can answer there";
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
} // namespace oskel::test
