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
#include "support/clip_maker.h"
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
        int eventCode; // every button sends one event: its own code, or a setting
    };
    const Case cases[] = {
        { "cbTriggerToFront", [&] { return bool { globals.Layering }; }, 13 },
        { "cbLoop", [&] { return bool { globals.Loop }; }, 6 },
        { "cbMonophonic", [&] { return globals.NewTriggerStopsClips; }, event_code::kSetControl },
        { "cbPCNoteOff", [&] { return globals.PCKeyNoteOff; }, event_code::kSetControl },
        { "cbSyncMode", [&] { return globals.LoadClipsInSyncMode; }, event_code::kSetControl },
        { "cbFullScreen", [&] { return globals.LoadClipsFullscreen; }, event_code::kSetControl },
        { "cbKeepSettings", [&] { return globals.LoadClipsKeepSettings; },
            event_code::kSetControl },
        { "cbAuto", [&] { return globals.AutoAdvance; }, event_code::kSetControl },
        { "cbRandom", [&] { return globals.RandomAdvance; }, event_code::kSetControl },
        { "cbAutoBPM", [&] { return globals.BPMfollow; }, event_code::kSetControl },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        auto& button = find<QPushButton>(c.button);
        EXPECT_EQ(button.isChecked(), c.option()) << "the button shows the option at start";
        for (int press = 0; press < 2; ++press) {
            events.sent.clear();
            click(c.button);
            EXPECT_EQ(c.option(), button.isChecked());
            ASSERT_EQ(events.codes(), std::vector<int> { c.eventCode });
            EXPECT_EQ(events.sent[0].Value, button.isChecked() ? 1 : 0);
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
    EXPECT_TRUE(performance.globals().masterMuted);
    volume.setValue(150); // muted: the fader keeps its level for the unmute
    click("cbMasterMute");
    ASSERT_EQ(events.codes(),
        (std::vector<int> { 39, event_code::kSetControl, 39, event_code::kSetControl }));
    EXPECT_EQ(events.sent[0].Value, 200);
    EXPECT_EQ(events.sent[1].Value, 1);
    EXPECT_EQ(events.sent[2].Value, 150);
    EXPECT_EQ(events.sent[3].Value, 0);
    EXPECT_FALSE(performance.globals().masterMuted);
    EXPECT_EQ(performance.globals().masterVolume, 150);
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
    events.sent.clear();
    click("lBPM");
    ASSERT_EQ(events.codes(), std::vector<int> { 3 });
    EXPECT_EQ(events.sent[0].Value, 88200) << "a following slot retuned to twice its speed";

    click("bSync");
    EXPECT_EQ(syncRestarts, std::vector<bool> { false });
}

// The tempo group shows the figures of a clip as it loads, even while another slot was
// selected: four beats over two seconds of sound at 25 frames per second.
TEST_F(MainWindowTest, TheTempoGroupShowsTheFiguresOfALoadedClip)
{
    if (!ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const auto clip = makeClip("tempo-figures.avi",
        joinArgs({ testPicture("64x48", "25", "2"), tone(22050, "2"),
            { "-c:v", "mjpeg", "-c:a", "pcm_s16le" } }));
    pretendLoaded(3);
    performance.selectSlot(3);
    ASSERT_TRUE(instrument.loader.LoadClipIntoSlot(6, clip, false, false));
    ASSERT_EQ(performance.slot(6).NumberOfBeats, 4);
    EXPECT_EQ(find<QLabel>("lCalculatedBPM").text(), "120");
    EXPECT_EQ(find<QLabel>("lFramesPerBeat").text(), "12.5");
    EXPECT_EQ(find<QLabel>("lSelectionDuration").text(), "2");
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
    for (const char* clicked : { "lStatus", "lStatusCaption" }) {
        SCOPED_TRACE(clicked);
        windows.ui().setStatusText("Standby");
        click(clicked);
        EXPECT_TRUE(find<QPushButton>("lStatus").text().endsWith(" Mb RAM Free"));
    }
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

// F2 and F3, and the menu's entries, open the patch choosers once the key's handler has
// returned; what is chosen is loaded or saved, a failed save is shown.
TEST_F(MainWindowTest, PatchKeysAndMenuOpenTheChoosers)
{
    performance.globals().currentPatchPath = "/shows/tonight.okp";
    dialogs.chosenPatches = { std::filesystem::path("/shows/first.okp"), std::nullopt,
        std::filesystem::path("/shows/kept.okp"), std::filesystem::path("/shows/second.okp") };
    instrument.saveProblem = "The patch was not saved. The disk is full";
    pressKey(60); // F2
    settle();
    pressKey(60);
    settle();
    pressKey(61); // F3
    settle();
    windows.mainWindow().openPatch->trigger();
    settle();
    EXPECT_EQ(dialogs.patchStarts,
        (std::vector<std::filesystem::path>(4, std::filesystem::path("/shows"))));
    EXPECT_EQ(instrument.loadedPatches,
        (std::vector<std::filesystem::path> { "/shows/first.okp", "/shows/second.okp" }));
    EXPECT_EQ(instrument.savedPatches, std::vector<std::filesystem::path> { "/shows/kept.okp" });
    EXPECT_EQ(
        dialogs.messages, std::vector<std::string> { "The patch was not saved. The disk is full" });
    windows.ui().showControlValue("lPatch", std::string("Patch - first.okp"));
    EXPECT_EQ(find<QLabel>("lPatch").text(), "Patch - first.okp");
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
    EXPECT_EQ(events.codes(), std::vector<int> { event_code::kSetControl })
        << "the side is set; nothing is faded while the crossfader is off";

    click("cbCrossFadeEnable");
    pretendLoaded(2);
    events.sent.clear();
    find<QSlider>("sbCrossFade").setValue(128);
    EXPECT_EQ(events.codes(), std::vector<int> { event_code::kSetControl });
    EXPECT_EQ(performance.globals().crossfadePosition, 128);
    EXPECT_EQ(performance.slot(3).AlphaLevel, 128) << "side A fades out";
    EXPECT_EQ(performance.slot(2).AlphaLevel, 127) << "side B fades in";

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
