#include <fstream>

#include <gtest/gtest.h>

#include "app/lifecycle.h"
#include "core/event_processor.h"
#include "support/fake_playback.h"
#include "support/recording_user_interface.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

class LifecycleTest : public ::testing::Test {
protected:
    std::filesystem::path settingsPath() const { return folder / "oskel3" / "oskelstandard.ini"; }

    test::TempDir folder;
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    SettingsFile settings { folder / "oskel3" };
    Lifecycle lifecycle { performance, settings, { folder / "clips", folder.path() },
        [] { return std::optional<std::int64_t>(512LL * 1024 * 1024); } };
};

TEST_F(LifecycleTest, StartUpReadsTheSettingsAndShutDownWritesThemBack)
{
    std::filesystem::create_directories(folder / "oskel3");
    std::ofstream(settingsPath()) << "[Globals]\nLocale=fr\nBPM=97\n[Custom]\nmine=1\n";
    performance.slot(4).Volume = -500;

    lifecycle.programEntry();
    EXPECT_EQ(performance.globals().keyLetters.layout(), KeyboardLayout::Azerty);
    lifecycle.InitStuff();
    EXPECT_EQ(performance.slot(4).Volume, 0) << "every slot starts reset";
    EXPECT_EQ(performance.globals().BPM, 97.0);
    EXPECT_EQ(performance.globals().selectedSlot, 1);
    EXPECT_EQ(ui.statusTexts.back(), "Ready ... 512 Mb RAM Free");
    lifecycle.FormActivate();
    EXPECT_EQ(performance.globals().selectedSlot, kNoSlot);

    performance.slot(2).Loaded = true;
    performance.slot(2).FrameCount = 10;
    performance.globals().BPM = 120;
    EXPECT_TRUE(lifecycle.FormCloseQuery());
    EXPECT_TRUE(performance.globals().shuttingDown);
    EXPECT_TRUE(performance.globals().standby);
    EXPECT_FALSE(performance.slot(2).Loaded);
    EXPECT_EQ(ui.blankedThumbnails, std::vector<int> { 2 });
    EXPECT_EQ(ui.statusTexts.back(), "Shutting down ... please wait");

    const IniProfile saved = readIniFile(settingsPath()).profile;
    EXPECT_EQ(saved.readFloat("Globals", "BPM", 0), 120.0);
    EXPECT_EQ(saved.readString("Globals", "Locale", ""), "fr");
    EXPECT_TRUE(saved.readBool("Custom", "mine", false));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LifecycleTest, AnUnusableSettingsFolderIsReportedOnceAndTheDefaultsRun)
{
    std::ofstream(folder / "oskel3") << "a file in the folder's place";
    lifecycle.programEntry();
    lifecycle.InitStuff();
    lifecycle.FormActivate();
    EXPECT_EQ(performance.globals().BPM, 150.0);
    lifecycle.FormCloseQuery();
    EXPECT_EQ(ui.messages.size(), 1u);
    std::ifstream kept(folder / "oskel3");
    std::string content;
    std::getline(kept, content);
    EXPECT_EQ(content, "a file in the folder's place");
}

TEST_F(LifecycleTest, FirstActivationStartsPlaybackAndShutDownEndsIt)
{
    AudioMailbox mailbox;
    test::FakePlayback playback;
    playback.exists = false;
    EventProcessor events(performance, mailbox, playback);
    lifecycle.setEngine(&events, &playback);
    lifecycle.programEntry();
    lifecycle.InitStuff();
    lifecycle.FormActivate();
    lifecycle.FormActivate();
    EXPECT_EQ(playback.starts, 1) << "only the first activation starts the audio thread";
    lifecycle.FormCloseQuery();
    EXPECT_EQ(playback.stops, 1);
    EXPECT_TRUE(performance.globals().standby);
}

} // namespace
} // namespace oskel
