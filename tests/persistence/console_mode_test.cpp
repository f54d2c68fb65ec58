#include <gtest/gtest.h>

#include "patch_explorer_fixture.h"

namespace oskel {
namespace {

namespace fs = std::filesystem;
using State = ConsoleMode::State;
using Names = std::vector<std::string>;

class ConsoleModeTest : public test::PatchExplorerFixture {
protected:
    static constexpr int kBalance = 100;

    void SetUp() override
    {
        fs::create_directories(patchFolder);
        performance.options().console.consoleClip = (patchFolder / "console.avi").string();
        test::touch(patchFolder / "console.avi");
        usePatches({ "first.okp", "second.okp", "third.okp" });
        performance.slot(1).Balance = kBalance;
        performance.globals().BPMfollow = true;
        performance.globals().LoadClipsFullscreen = false;
        performance.globals().LoadClipsInSyncMode = true;
    }
    ConsoleMode& console() { return logic.console(); }

    // What entering "Post Jam" sends besides the control-table settings it makes.
    static std::vector<TSlotEvent> postJamEvents()
    {
        return { { event_code::kStopEverySlot, 0, 0, 0 }, { event_code::kLoopOption, 1, 0, 0 },
            { event_code::kTrigger, 0, kBalance, 1 } };
    }
    void expectPostJam()
    {
        EXPECT_EQ(console().state(), State::PostJam);
        EXPECT_EQ(view.consoleStates.back(), "Post Jam");
        EXPECT_EQ(events.take(), postJamEvents());
        EXPECT_FALSE(performance.globals().BPMfollow);
        ASSERT_FALSE(loader.clips.empty());
        EXPECT_EQ(loader.clips.back(),
            (test::RecordingLoader::ClipLoad { 1, patchFolder / "console.avi" }));
        loader.clips.clear();
    }
};

TEST_F(ConsoleModeTest, RunsPostJamThenSelectionThenJamAndBackToPostJam)
{
    console().start();
    EXPECT_EQ(view.consoleActive.back(), std::make_pair(std::string("ON"), SlotColour::Red));
    EXPECT_TRUE(performance.globals().LoadClipsFullscreen);
    EXPECT_FALSE(performance.globals().LoadClipsInSyncMode);
    expectPostJam();
    EXPECT_TRUE(console().notesIgnored());
    EXPECT_FALSE(console().noteSelectsPatch(0));

    clock.advanceBy(7999);
    EXPECT_EQ(console().state(), State::PostJam);
    clock.advanceBy(1);
    EXPECT_EQ(console().state(), State::Selection);
    EXPECT_EQ(view.consoleStates.back(), "Selection");
    EXPECT_TRUE(console().selectionActive());
    EXPECT_FALSE(console().notesIgnored());

    EXPECT_TRUE(console().noteSelectsPatch(1));
    EXPECT_EQ(view.consoleStates.back(), "Loading 2");
    ASSERT_EQ(loader.patches.size(), 1U);
    EXPECT_EQ(
        loader.patches[0], (test::RecordingLoader::PatchLoad { patchFolder / "second.okp", true }));

    console().patchLoadFinished(true);
    EXPECT_EQ(console().state(), State::Jam);
    EXPECT_EQ(view.consoleStates.back(), "Jam");
    EXPECT_FALSE(console().selectionActive());
    EXPECT_FALSE(console().notesIgnored()) << "the visitor plays";
    clock.advanceBy(29999);
    EXPECT_EQ(console().state(), State::Jam);
    EXPECT_TRUE(events.events.empty());
    clock.advanceBy(1);
    expectPostJam();
    clock.advanceBy(8000);
    EXPECT_EQ(console().state(), State::Selection);
}

TEST_F(ConsoleModeTest, ALoadWithoutAPatchGoesBackToPostJam)
{
    console().start();
    clock.advanceBy(8000);
    events.take();
    loader.clips.clear();
    console().patchLoadFinished(false);
    expectPostJam();
    clock.advanceBy(7999);
    EXPECT_EQ(console().state(), State::PostJam) << "the post-jam time counts again";
}

TEST_F(ConsoleModeTest, APatchReadyDuringPostJamStartsTheJamAndStopsThePostJamTimer)
{
    console().start();
    clock.advanceBy(1000);
    console().patchLoadFinished(true);
    clock.advanceBy(7000);
    EXPECT_EQ(console().state(), State::Jam);
    EXPECT_EQ(clock.nextDue(), 1000 + 30000);
}

TEST_F(ConsoleModeTest, TheTimesComeFromTheConsoleOptions)
{
    performance.options().console.ConsolePostPlayTime = 500;
    performance.options().console.ConsolePlayTime = 2000;
    console().start();
    clock.advanceBy(500);
    EXPECT_EQ(console().state(), State::Selection);
    console().patchLoadFinished(true);
    clock.advanceBy(2000);
    EXPECT_EQ(console().state(), State::PostJam);
}

TEST_F(ConsoleModeTest, StopEndsBothTimersAndClearsTheState)
{
    for (bool inJam : { false, true }) {
        SCOPED_TRACE(inJam);
        console().start();
        if (inJam) {
            console().patchLoadFinished(true);
        }
        events.take();
        console().stop();
        EXPECT_FALSE(console().on());
        EXPECT_EQ(view.consoleActive.back(), std::make_pair(std::string("OFF"), SlotColour::Black));
        EXPECT_EQ(view.consoleStates.back(), "");
        EXPECT_EQ(clock.nextDue(), std::nullopt);
        clock.advanceBy(100000);
        EXPECT_TRUE(events.events.empty());
        EXPECT_FALSE(console().notesIgnored());
        EXPECT_FALSE(console().noteSelectsPatch(0));
        console().patchLoadFinished(true);
        EXPECT_EQ(clock.nextDue(), std::nullopt) << "a load after stopping starts nothing";
    }
}

TEST_F(ConsoleModeTest, AMissingConsoleClipLeavesSlotOneButStillTriggersIt)
{
    fs::remove(patchFolder / "console.avi");
    console().start();
    EXPECT_TRUE(loader.clips.empty());
    EXPECT_EQ(events.take(), postJamEvents());
}

TEST_F(ConsoleModeTest, StartsAtStartupWhenStoredOnAndNoPatchWasNamed)
{
    struct Case {
        bool stored, patchOnCommandLine, starts;
    };
    for (const Case& c : std::vector<Case> {
             { true, false, true }, { true, true, false }, { false, false, false } }) {
        SCOPED_TRACE(testing::Message() << c.stored << c.patchOnCommandLine);
        console().stop();
        view.consoleActive.clear();
        console().setStartInConsoleMode(c.stored);
        console().restoreStoredChoice();
        EXPECT_EQ(console().on(), c.stored);
        EXPECT_EQ(view.consoleActive.size(), c.stored ? 1U : 0U);
        const int tabs = view.tabsShown;
        console().startup(c.patchOnCommandLine);
        EXPECT_EQ(view.tabsShown - tabs, c.starts ? 1 : 0);
        EXPECT_EQ(clock.nextDue().has_value(), c.starts);
    }
}

} // namespace
} // namespace oskel
