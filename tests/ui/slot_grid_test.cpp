// The clip slot grid on the real window: what its panels show, what they send, and files and
// panels dropped on it.
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <chrono>
#include <fstream>
#include <tuple>

#include "support/clip_maker.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui/picture_view.h"
#include "ui/slot_grid_widget.h"
#include "ui/slot_panel.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

class SlotGridTest : public WindowsTest {
protected:
    SlotGridWidget& grid() { return windows.mainWindow().grid(); }
    SlotPanel& panel(int slot) { return grid().panel(slot); }
    QToolButton& panelButton(const char* child, int slot)
    {
        return find<QToolButton>(QString("%1clone%2").arg(child).arg(slot));
    }
    // A point on the thumbnail of the slot's panel, in the panel's pixels.
    static QPoint onThumbnail() { return QPoint(50, 40); }
    QPoint panelCentre(int slot) { return panel(slot).geometry().center(); }

    void drop(QWidget& target, QMimeData& data, const QPoint& point)
    {
        QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &enter);
        QDropEvent dropped(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &dropped);
    }
    void dropFiles(const std::vector<std::filesystem::path>& files, const QPoint& point)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const auto& file : files) {
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(file.string())));
        }
        data.setUrls(urls);
        drop(grid(), data, point);
    }
    void dropSlot(int from, QWidget& target, const QPoint& point)
    {
        QMimeData data;
        data.setData(SlotPanel::kSlotMimeType, QByteArray::number(from));
        drop(target, data, point);
    }
};

TEST_F(SlotGridTest, PanelsStandInTwoStaggeredRowsWithTheirKeys)
{
    EXPECT_EQ(panel(1).geometry(), QRect(0, 0, 106, 118));
    EXPECT_EQ(panel(2).geometry(), QRect(54, 120, 106, 118));
    EXPECT_EQ(panel(3).geometry(), QRect(108, 0, 106, 118));
    EXPECT_EQ(panel(16).geometry(), QRect(810, 120, 106, 118));
    const char* captions = "QAWSEDRFTGYHUJIK";
    for (int slot = 1; slot <= 16; ++slot) {
        EXPECT_EQ(panel(slot).keyLabel().text(), QString(captions[slot - 1]));
        EXPECT_EQ(panel(slot).objectName(), QString("controlpanelclone%1").arg(slot));
    }
    EXPECT_EQ(panel(4).thumbnail().toolTip(), "Empty Clip Slot: click to load a clip");
}

TEST_F(SlotGridTest, KeyLabelsShowTheSlotStateAndTheSelection)
{
    pretendLoaded(3);
    pretendLoaded(4);
    auto textColour
        = [&](int slot) { return panel(slot).keyLabel().palette().color(QPalette::WindowText); };
    auto background
        = [&](int slot) { return panel(slot).keyLabel().palette().color(QPalette::Window); };
    performance.SlotStatusColour(3, SlotState::Playing);
    EXPECT_EQ(textColour(3), QColor(0, 128, 0)) << "green while Loop is on";
    performance.globals().Loop = false;
    performance.SlotStatusColour(3, SlotState::Playing);
    EXPECT_EQ(textColour(3), QColor(255, 0, 0));
    performance.SlotStatusColour(3, SlotState::SyncShown);
    EXPECT_EQ(textColour(3), QColor(0, 255, 0));
    performance.SlotStatusColour(3, SlotState::SyncMuted);
    EXPECT_EQ(textColour(3), QColor(255, 255, 255));

    performance.selectSlot(3);
    EXPECT_EQ(background(3), QColor(0, 0, 255));
    performance.selectSlot(4);
    EXPECT_EQ(background(3), SlotPanel::kKeyBackground) << "the black background, lightened";
    EXPECT_EQ(background(4), QColor(0, 0, 255));
}

TEST_F(SlotGridTest, TransportButtonsSendTheirEvents)
{
    pretendLoaded(5);
    performance.slot(5).Volume = -300;
    performance.slot(5).Balance = 70;
    QTest::mouseClick(&panelButton("play", 5), Qt::LeftButton);
    QTest::mouseClick(&panelButton("pause", 5), Qt::LeftButton);
    QTest::mouseClick(&panelButton("stop", 5), Qt::LeftButton);
    ASSERT_EQ(events.codes(), (std::vector<int> { 0, 9, 10 }));
    EXPECT_EQ(events.sent[0].Value, -300);
    EXPECT_EQ(events.sent[0].Value2, 70);
    EXPECT_EQ(events.sent[1].Value, 1) << "pause a slot that is not paused";
    for (const TSlotEvent& sent : events.sent) {
        EXPECT_EQ(sent.Slot, 5);
    }
}

TEST_F(SlotGridTest, StatusButtonsToggleTheSlotAndShowItsState)
{
    pretendLoaded(6);
    QTest::mouseClick(&panelButton("bSYNC", 6), Qt::LeftButton);
    EXPECT_TRUE(performance.slot(6).InstallationMode);
    EXPECT_TRUE(panel(6).statusButton(slot_grid::StatusButton::Sync));
    QTest::mouseClick(&panelButton("bBPM", 6), Qt::LeftButton);
    EXPECT_TRUE(performance.slot(6).FollowBPM);
    EXPECT_TRUE(panel(6).statusButton(slot_grid::StatusButton::Bpm));
    QTest::mouseClick(&panelButton("b3D", 6), Qt::LeftButton);
    EXPECT_EQ(
        panel(6).statusButton(slot_grid::StatusButton::ThreeD), performance.slot(6).BillBoard);
    QTest::mouseClick(&panelButton("bFF", 6), Qt::LeftButton);
    EXPECT_FALSE(performance.slot(6).FFenable);
    EXPECT_FALSE(panel(6).statusButton(slot_grid::StatusButton::Effect))
        << "shown, does nothing yet";

    QTest::mouseClick(&panelButton("bSYNC", 7), Qt::LeftButton);
    EXPECT_FALSE(panel(7).statusButton(slot_grid::StatusButton::Sync)) << "an empty slot";
}

// The status buttons show the slot's state whatever changed it: a load (with or without sync
// mode and "Auto BPM"), a copy of another slot's settings and an unload.
TEST_F(SlotGridTest, StatusButtonsFollowLoadsCopiesAndUnloads)
{
    if (!ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const auto clip = makeClip("grid-status.avi",
        joinArgs({ testPicture("320x256", "25", "1"), tone(22050, "1"),
            { "-c:v", "mjpeg", "-c:a", "pcm_s16le" } }));
    using slot_grid::StatusButton;
    const auto shown = [&](int slot) {
        return std::tuple(panel(slot).statusButton(StatusButton::Bpm),
            panel(slot).statusButton(StatusButton::Sync),
            panel(slot).statusButton(StatusButton::ThreeD));
    };
    ClipLoader& loader = instrument.loader;
    performance.globals().BPMfollow = true;
    ASSERT_TRUE(loader.LoadClipIntoSlot(2, clip, true, false));
    EXPECT_EQ(shown(2), std::tuple(true, true, false)) << "loaded following, in sync mode";

    performance.globals().BPMfollow = false;
    ASSERT_TRUE(loader.LoadClipIntoSlot(5, clip, false, false));
    EXPECT_EQ(shown(5), std::tuple(false, false, false));
    setControl(instrument.processor, performance,
        slotControl(controlIndex(ControlScope::Slot, "ThreeD"), 2), 1);
    ASSERT_TRUE(performance.slot(2).BillBoard);
    click("rbSettingsOnly");
    dropSlot(2, grid(), panelCentre(5));
    EXPECT_EQ(shown(5), std::tuple(true, true, true)) << "the copied settings";

    ASSERT_TRUE(loader.LoadClipIntoSlot(2, clip, false, false));
    EXPECT_EQ(shown(2), std::tuple(false, false, false)) << "reloaded, not following, not in sync";
    performance.UnloadSlot(5, false);
    EXPECT_EQ(std::get<2>(shown(5)), false) << "an unload switches 3D off";
}

TEST_F(SlotGridTest, ClicksOnPanelsLoadSelectAndPlay)
{
    QTest::mouseClick(&panel(8), Qt::LeftButton, {}, onThumbnail());
    settle();
    EXPECT_EQ(dialogs.clipFolders.size(), 1u) << "an empty slot asks for a clip";

    pretendLoaded(8);
    QTest::mouseClick(&panel(8), Qt::LeftButton, {}, onThumbnail());
    settle();
    EXPECT_EQ(dialogs.clipFolders.size(), 1u);
    EXPECT_EQ(performance.globals().selectedSlot, 8) << "a loaded slot is selected";

    QTest::mousePress(&panel(8), Qt::RightButton, {}, onThumbnail());
    settle();
    EXPECT_EQ(dialogs.clipFolders.size(), 2u) << "the right button always asks for a clip";

    QTest::mouseDClick(&panel(8), Qt::LeftButton, {}, onThumbnail());
    ASSERT_EQ(events.codes(), std::vector<int> { 0 });
    EXPECT_EQ(events.sent[0].Slot, 8);
}

TEST_F(SlotGridTest, ClicksWhileAClipLoadsOpenNoDialog)
{
    performance.globals().loadingBusy = true;
    QTest::mouseClick(&panel(9), Qt::LeftButton, {}, onThumbnail());
    QTest::mousePress(&panel(9), Qt::RightButton, {}, onThumbnail());
    settle();
    EXPECT_TRUE(dialogs.clipFolders.empty());
}

TEST_F(SlotGridTest, AChosenClipLoadsIntoItsSlotWithItsThumbnail)
{
    if (!ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const auto clip = makeClip(
        "grid-chosen.avi", joinArgs({ testPicture("64x48", "25", "1"), { "-c:v", "mjpeg" } }));
    dialogs.chosenClips.push_back(clip);
    QTest::mousePress(&panel(10), Qt::RightButton, {}, onThumbnail());
    settle();
    EXPECT_TRUE(performance.slot(10).Loaded);
    EXPECT_FALSE(panel(10).still().isNull());
    EXPECT_TRUE(panel(10).thumbnail().toolTip().endsWith(QString::fromStdString(clip.string())));
}

TEST_F(SlotGridTest, DroppedFilesLoadIntoThePanelUnderThePointer)
{
    if (!ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const auto clip = makeClip(
        "grid-drop.avi", joinArgs({ testPicture("64x48", "25", "1"), { "-c:v", "mjpeg" } }));
    dropFiles({ clip }, panelCentre(3));
    EXPECT_TRUE(performance.slot(3).Loaded);
    EXPECT_FALSE(performance.slot(4).Loaded);
    EXPECT_FALSE(panel(3).still().isNull());

    dropFiles({ clip }, QPoint(1, 119)); // between the rows
    for (int slot : { 1, 2 }) {
        EXPECT_FALSE(performance.slot(slot).Loaded);
    }
}

TEST_F(SlotGridTest, FoldersJunkAndDozensOfFilesAtOnceAreSurvived)
{
    TempDir folder;
    std::vector<std::filesystem::path> files { folder.path() };
    for (int n = 0; n < 40; ++n) {
        const auto junk = folder / ("junk" + std::to_string(n) + ".avi");
        std::ofstream(junk) << "not a clip " << n;
        files.push_back(junk);
    }
    files.push_back(folder / "vanished.avi");
    const auto started = std::chrono::steady_clock::now();
    dropFiles(files, panelCentre(11));
    settle();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_FALSE(performance.slot(11).Loaded);
    EXPECT_FALSE(performance.globals().loadingBusy);
    EXPECT_EQ(panel(11).thumbnail().toolTip(), "Empty Clip Slot: click to load a clip");
}

TEST_F(SlotGridTest, APanelDroppedOnAnotherCopiesItByTheCopyChoice)
{
    pretendLoaded(1);
    pretendLoaded(2);
    performance.slot(1).Volume = -500;
    performance.slot(1).Left = 10;
    click("rbSettingsOnly");
    dropSlot(1, grid(), panelCentre(2));
    EXPECT_EQ(performance.slot(2).Volume, -500);
    EXPECT_EQ(performance.slot(2).Left, 10);
    EXPECT_EQ(performance.globals().selectedSlot, 2) << "the copy is shown in the inspector";

    dropSlot(1, grid(), panelCentre(1)); // on itself: a click
    EXPECT_EQ(performance.globals().selectedSlot, 1);
}

TEST_F(SlotGridTest, APlayingSlotShowsItsLivePictureThenItsStillAgain)
{
    pretendLoaded(12);
    QImage still(96, 72, QImage::Format_RGB888);
    still.fill(Qt::blue);
    panel(12).showThumbnail(still, "still");
    TPlayAvistruct& record = performance.slot(12);
    record.Playing = true;
    record.CurrentFrame = 50;

    std::vector<std::uint8_t> red(64 * 48 * 3);
    for (std::size_t i = 2; i < red.size(); i += 3) {
        red[i] = 255;
    }
    previews.post(12, red.data(), 64, 48);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return panel(12).thumbnail().picture().pixelColor(10, 10) == QColor(Qt::red); }));
    EXPECT_EQ(panel(12).progress(), 48) << "half the clip played";

    record.Playing = false;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return panel(12).thumbnail().picture().pixelColor(10, 10) == QColor(Qt::blue); }));
}

} // namespace
} // namespace oskel::test
