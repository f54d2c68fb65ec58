// The menu's clip entries and the windows it opens, on the offscreen platform: "Open Media",
// "Open Live Source", "Load Multiple Clips F7" (and the key F7), "About", and "Auto Standby" of the
// preferences; and the clip explorer's page, with a clip dragged out of it onto the grid.
#include <QAction>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "core/slot_rules.h"
#include "support/clip_maker.h"
#include "support/udp_test_sender.h"
#include "ui/clip_explorer_page.h"
#include "ui/load_multiple_clips_window.h"
#include "ui/main_window.h"
#include "ui/preferences_window.h"
#include "ui/slot_grid_widget.h"
#include "ui/slot_panel.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

constexpr int kF7 = 65; // Linux input-event code

class MenuWindowsTest : public WindowsTest {
protected:
    LoadMultipleClipsWindow& multipleClips()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<LoadMultipleClipsWindow*>(window)) {
                return *found;
            }
        }
        throw std::runtime_error("no window Load Multiple Clips");
    }
    void press(const char* button)
    {
        QTest::mouseClick(&find<QPushButton>(button, &multipleClips()), Qt::LeftButton);
        settle();
    }
    std::filesystem::path clip(const std::string& name)
    {
        return makeClip(name, joinArgs({ testPicture("64x48", "25", "1"), { "-c:v", "mjpeg" } }));
    }
};

// F7 opens the window; the chosen clips are listed with the sync-mode tick of the main window,
// more can be added and ticked, and "Done" loads them into slots 1, 2, ... in order.
TEST_F(MenuWindowsTest, LoadMultipleClipsListsTicksAndLoadsInOrder)
{
    if (!ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const auto first = clip("multiple-first.avi");
    const auto second = clip("multiple-second.avi");
    pretendLoaded(9);
    pressKey(kF7);
    settle();
    LoadMultipleClipsWindow& window = multipleClips();
    ASSERT_TRUE(window.isVisible());
    EXPECT_FALSE(instrument.midiInput.inputEnabled()) << "MIDI waits while the window is open";
    EXPECT_EQ(window.windowTitle(), "Load Multiple Clips");

    performance.globals().LoadClipsInSyncMode = true;
    dialogs.chosenClipLists = { { first }, { second } };
    press("bChooseClips");
    EXPECT_EQ(find<QPushButton>("lStatus").text(), "Loading Multiple Clips ... ");
    performance.globals().LoadClipsInSyncMode = false;
    press("bAddMoreClips");
    ASSERT_EQ(window.list().topLevelItemCount(), 2);
    EXPECT_EQ(window.list().headerItem()->text(0), "Sync Mode");
    EXPECT_EQ(window.list().topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(window.list().topLevelItem(1)->checkState(0), Qt::Unchecked);
    window.list().topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    window.list().topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(performance.globals().lastClipPath, second.string());

    press("bDone");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(performance.slot(1).FileName.str(), first.string());
    EXPECT_EQ(performance.slot(2).FileName.str(), second.string());
    EXPECT_FALSE(performance.slot(1).InstallationMode);
    EXPECT_TRUE(performance.slot(2).InstallationMode);
    EXPECT_FALSE(performance.slot(9).Loaded) << "every loaded slot was cleared first";
    EXPECT_EQ(window.list().topLevelItemCount(), 0);
    EXPECT_TRUE(find<QPushButton>("lStatus").text().startsWith("Ready ... "));
    EXPECT_TRUE(instrument.midiInput.inputEnabled());
}

// A cancelled chooser keeps the list; "Done" with nothing listed and closing the window clear
// no slot. MIDI input comes back when the window goes, unless it was off before.
TEST_F(MenuWindowsTest, NothingChosenLoadsNothingAndClearsNothing)
{
    pretendLoaded(3);
    windows.mainWindow().loadMultipleClips->trigger();
    settle();
    press("bChooseClips"); // cancelled
    EXPECT_EQ(multipleClips().list().topLevelItemCount(), 0);
    press("bDone");
    EXPECT_TRUE(performance.slot(3).Loaded);
    windows.mainWindow().loadMultipleClips->trigger();
    settle();
    syncRestarts.clear();
    multipleClips().close();
    settle();
    EXPECT_TRUE(performance.slot(3).Loaded);
    EXPECT_EQ(syncRestarts, std::vector<bool> { true });
    EXPECT_TRUE(find<QPushButton>("lStatus").text().startsWith("Ready ... "));
    EXPECT_TRUE(instrument.midiInput.inputEnabled());
    instrument.midiInput.setInputEnabled(false); // switched off elsewhere: it stays off
    windows.mainWindow().loadMultipleClips->trigger();
    press("bCancel");
    EXPECT_FALSE(instrument.midiInput.inputEnabled());
}

// "Open Media" loads the chosen clip into the first slot without one; the status line tells
// of the load while the chooser is open, and of the memory afterwards.
TEST_F(MenuWindowsTest, OpenMediaLoadsIntoTheFirstFreeSlot)
{
    if (!ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const auto opened = clip("open-media.avi");
    pretendLoaded(1);
    pretendLoaded(2);
    dialogs.chosenClips = { opened };
    std::string statusWhileChoosing;
    dialogs.whileChoosing
        = [&] { statusWhileChoosing = find<QPushButton>("lStatus").text().toStdString(); };
    windows.mainWindow().openMedia->trigger();
    settle();
    ASSERT_EQ(dialogs.clipFolders.size(), 1u);
    EXPECT_EQ(statusWhileChoosing, "Loading Clip ...");
    EXPECT_EQ(performance.slot(3).FileName.str(), opened.string());
    EXPECT_TRUE(performance.slot(3).Loaded);
    EXPECT_TRUE(find<QPushButton>("lStatus").text().startsWith("Ready ... "));
}

// "Open Live Source" offers the cameras and a stream address to edit, and loads what is
// chosen into the first slot without a clip.
TEST_F(MenuWindowsTest, OpenLiveSourceLoadsAStreamIntoTheFirstFreeSlot)
{
    if (!ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    UdpTestSender sender;
    ASSERT_TRUE(sender.start());
    pretendLoaded(1);
    dialogs.chosenLiveSources = { sender.url() };
    windows.mainWindow().openLiveSource->trigger();
    settle();
    ASSERT_FALSE(dialogs.liveSourceEntries.empty());
    EXPECT_EQ(dialogs.liveSourceEntries.back(), "udp://0.0.0.0:5000");
    EXPECT_EQ(performance.slot(2).FileName.str(), sender.url());
    EXPECT_TRUE(performance.slot(2).Loaded);
    EXPECT_EQ(performance.slot(2).SourceSystem, kLiveSourceSystem);
}

TEST_F(MenuWindowsTest, AboutNamesTheProgramAndItsVersion)
{
    windows.mainWindow().about->trigger();
    settle();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("Oskel 3\nVersion 3.", 0), 0u) << dialogs.messages[0];
}

// "Auto Standby" is off at start; switched on, another application taking the focus stands
// the instrument by and getting it back leaves standby, both as recorded events.
TEST_F(MenuWindowsTest, AutoStandbyFollowsTheApplicationsFocus)
{
    events.sent.clear();
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(events.sent.empty());

    const auto autoStandby = static_cast<std::size_t>(preferences_form::Toggle::AutoStandby);
    QAbstractButton& toggle = *windows.preferencesWindow().toggles.at(autoStandby);
    EXPECT_EQ(toggle.text(), "Auto Standby");
    toggle.click();
    EXPECT_TRUE(performance.options().ui.AutoStandby);
    events.sent.clear();
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_TRUE(performance.globals().standby);
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(performance.globals().standby);
    EXPECT_EQ(events.codes(), (std::vector<int> { 28, 29 }));
}

class ClipExplorerPageTest : public MenuWindowsTest {
protected:
    void startInstrument() override
    {
        if (ffmpegAvailable()) {
            clipFile = clip("explorer.avi");
            performance.globals().lastClipPath = clipFile.string();
        }
    }
    std::filesystem::path clipFile;
};

// The page opens in the last clip's folder; a double-click loads a clip into the first free
// slot, and a clip dragged out carries its file, which the grid loads where it is dropped.
TEST_F(ClipExplorerPageTest, OpensTheLastClipsFolderLoadsAndDragsClipsOut)
{
    if (clipFile.empty()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    ClipExplorerPage& page = windows.mainWindow().clipExplorer();
    EXPECT_EQ(page.folder->text().toStdString(), clipFile.parent_path().string());
    const QList<QListWidgetItem*> found = page.clips->findItems("explorer.avi", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    QListWidgetItem& entry = *found.front();

    pretendLoaded(1);
    Q_EMIT page.clips->itemDoubleClicked(&entry);
    settle();
    EXPECT_EQ(performance.slot(2).FileName.str(), clipFile.string());
    performance.globals().loadingBusy = false;

    ASSERT_EQ(page.clips->findItems("explorer.avi", Qt::MatchExactly), found)
        << "loading a clip leaves the list as it was";
    const QModelIndex index = page.clips->model()->index(page.clips->row(&entry), 0);
    std::unique_ptr<QMimeData> dragged(page.clips->model()->mimeData({ index }));
    ASSERT_NE(dragged, nullptr);
    ASSERT_EQ(dragged->urls().size(), 1);
    EXPECT_EQ(dragged->urls().front().toLocalFile().toStdString(), clipFile.string());
    SlotGridWidget& grid = windows.mainWindow().grid();
    const QPoint onPanel = grid.panel(4).geometry().center();
    QDragEnterEvent enter(onPanel, Qt::CopyAction, dragged.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&grid, &enter);
    QDropEvent dropped(
        QPointF(onPanel), Qt::CopyAction, dragged.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&grid, &dropped);
    settle();
    EXPECT_EQ(performance.slot(4).FileName.str(), clipFile.string());

    const QModelIndex parent = page.clips->model()->index(0, 0);
    EXPECT_EQ(page.clips->model()->mimeData({ parent }), nullptr) << "a folder is not dragged";
}

} // namespace
} // namespace oskel::test
