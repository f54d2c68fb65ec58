// The windows through the instrument's start-up and shut-down with a real settings file.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "app/lifecycle.h"
#include "persistence/ini_profile.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui/output_window.h"
#include "windows_fixture.h"

namespace oskel::test {
namespace {

class StartAndShutDownTest : public WindowsTest {
protected:
    std::filesystem::path settingsPath() const { return folder / "oskel3" / "oskelstandard.ini"; }

    void startInstrument() override
    {
        std::filesystem::create_directories(folder / "oskel3");
        std::ofstream(settingsPath()) << "[Oskel3MainForm]\nLeft=-30000\nTop=99999999\n"
                                      << "Fullscreen=1\n"
                                      << "[Playback]\nLoop=0\n"
                                      << "[FileIO]\nLoadClipsInSyncMode=1\n"
                                      << "[Globals]\nBPM=97\n";
        lifecycle.setEngine(&processor, &playback);
        lifecycle.programEntry();
        lifecycle.InitStuff();
    }
    void activateInstrument() override { lifecycle.FormActivate(); }
    void shutDownInstrument() override
    {
        WindowsTest::shutDownInstrument();
        lifecycle.FormCloseQuery();
    }

    TempDir folder;
    SettingsFile settings { folder / "oskel3" };
    Lifecycle lifecycle { performance, settings, { folder / "clips", folder.path() },
        [] { return std::optional<std::int64_t>(); } };
};

TEST_F(StartAndShutDownTest, TheWindowsShowTheSettingsAndCloseWritesThemBack)
{
    EXPECT_TRUE(windows.outputWindow().isShownFullScreen()) << "the settings ask for it";
    EXPECT_EQ(playback.starts, 1) << "playback started once the windows were up";
    EXPECT_FALSE(performance.globals().standby) << "the full-screen switch's standby is left";
    EXPECT_FALSE(find<QPushButton>("cbStandby").isChecked());
    EXPECT_FALSE(find<QPushButton>("cbLoop").isChecked());
    EXPECT_TRUE(find<QPushButton>("cbSyncMode").isChecked());
    EXPECT_EQ(find<QLineEdit>("ebBPM").text(), "97");

    MainWindow& main = windows.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    // Off every screen, as the file says (the top limited); the window system may shift it by
    // its frame.
    EXPECT_NEAR(main.x(), -30000, 4);
    EXPECT_NEAR(main.y(), 100000, 4);
    pressKey(88, Qt::ControlModifier); // Ctrl+F12
    settle();
    EXPECT_EQ(main.pos(), QPoint(0, 0));

    pretendLoaded(3);
    performance.slot(3).Playing = true;
    click("cbLoop");
    EXPECT_TRUE(main.close());
    EXPECT_EQ(shutDowns, 1);
    EXPECT_FALSE(performance.slot(3).Loaded) << "the playing clip was unloaded";

    const IniProfile saved = readIniFile(settingsPath()).profile;
    EXPECT_EQ(saved.readInteger("Oskel3MainForm", "Left", -1), 0);
    EXPECT_EQ(saved.readInteger("Oskel3MainForm", "Top", -1), 0);
    EXPECT_TRUE(saved.readBool("Playback", "Loop", false));
    EXPECT_TRUE(saved.readBool("FileIO", "LoadClipsInSyncMode", false));
}

} // namespace
} // namespace oskel::test
