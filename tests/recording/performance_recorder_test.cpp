#include <gtest/gtest.h>

#include "core/event_processor.h"
#include "recording/performance_recorder.h"
#include "support/clip_maker.h"
#include "support/fake_playback.h"
#include "support/fake_sound_buffer.h"
#include "support/recording_user_interface.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

// The recorder listening to a real event processor, as the instrument wires them.
class PerformanceRecorderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        performance.globals().shuttingDown = false;
        processor.setOutsideEventObserver(
            [this](const TSlotEvent& event) { recorder.eventSent(event); });
        for (int number : { 1, 2, 3 }) {
            TPlayAvistruct& slot = performance.slot(number);
            slot.Loaded = true;
            slot.FrameCount = 25;
            slot.Length = 176400;
            slot.OutPoint = 176400;
            slot.ForwardBuffer = std::make_shared<test::FakeSoundBuffer>(176400, 44100);
            slot.BackwardBuffer = std::make_shared<test::FakeSoundBuffer>(176400, 44100);
        }
        performance.slot(3).InstallationMode = true;
    }

    std::vector<int> recordedCodes() const
    {
        std::vector<int> codes;
        for (const ScriptAction& action : recorder.actions()) {
            codes.push_back(std::get<EventAction>(action.command).event.Code);
        }
        return codes;
    }

    std::uint32_t now = 0;
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    AudioMailbox mailbox;
    test::FakePlayback playback;
    EventProcessor processor { performance, mailbox, playback };
    PerformanceRecorder recorder { [this] { return now; } };
};

TEST_F(PerformanceRecorderTest, OnlyThePerformersEventsAreRecordedWithTheirTimes)
{
    processor.ProcessEvent({ 34, 100, 0, 1 }); // before recording starts
    now = 5000;
    recorder.start();
    now = 5040;
    // The crossfade sets both sides' volume and transparency through its own sub-events.
    processor.ProcessEvent({ 37, 0, 2, 1 });
    ASSERT_EQ(performance.slot(2).AlphaLevel, 255) << "the sub-events ran";
    now = 5100;
    // The transport's automatic advance and the sync restarts are the engine's own doing.
    processor.engineEvents().ProcessEvent({ 10, 0, 0, 1 });
    processor.RestartSyncSlots(false);
    EXPECT_TRUE(performance.slot(3).Playing) << "the sync slot was restarted";
    now = 5230;
    processor.ProcessEvent({ 16, 10, 20, 2 });
    processor.ProcessEvent({ 99, 0, 0, 0 }); // reaches the processor, which ignores it
    recorder.stop();
    processor.ProcessEvent({ 11, 0, 0, 0 });

    EXPECT_EQ(recordedCodes(), (std::vector<int> { 37, 16, 99 }));
    ASSERT_EQ(recorder.actions().size(), 3u);
    EXPECT_EQ(recorder.actions()[0].timeMs, 40);
    EXPECT_EQ(recorder.actions()[1].timeMs, 230);
    const TSlotEvent& move = std::get<EventAction>(recorder.actions()[1].command).event;
    EXPECT_EQ(move.Value, 10);
    EXPECT_EQ(move.Value2, 20);
    EXPECT_EQ(move.Slot, 2);
}

TEST_F(PerformanceRecorderTest, AnEventThatFailsHalfwayIsStillRecordedOnceAndTheNextOneToo)
{
    recorder.start();
    // A sound card that refuses to play: the restart ends there.
    struct RefusingBuffer : test::FakeSoundBuffer {
        using FakeSoundBuffer::FakeSoundBuffer;
        void play(bool) override { throw SoundError("Could not play"); }
    };
    performance.slot(3).ForwardBuffer = std::make_shared<RefusingBuffer>(176400, 44100);
    EXPECT_THROW(processor.ProcessEvent({ 1, 0, 0, 3 }), SoundError);
    processor.ProcessEvent({ 31, -700, 0, 1 });
    EXPECT_EQ(recordedCodes(), (std::vector<int> { 1, 31 }));
}

TEST_F(PerformanceRecorderTest, TimesCountAcrossTheClocksWrapAndStartingAgainBeginsAtZero)
{
    now = 0xFFFFFF00u;
    recorder.start();
    processor.ProcessEvent({ 11, 0, 0, 0 });
    now = 0x100u; // wrapped
    processor.ProcessEvent({ 11, 0, 0, 0 });
    ASSERT_EQ(recorder.actions().size(), 2u);
    EXPECT_EQ(recorder.actions()[1].timeMs, 0x200);

    recorder.start();
    EXPECT_TRUE(recorder.actions().empty());
}

TEST_F(PerformanceRecorderTest, ARecordingSavesAsAPerformanceFileThatReadsBack)
{
    test::TempDir folder;
    recorder.start();
    recorder.clipLoaded(1, folder / "clips" / ".." / "intro.avi");
    now = 80;
    processor.ProcessEvent({ 0, 0, 64, 1 });
    now = 1500;
    recorder.clipLoaded(2, "/elsewhere/b.mp4");
    now = 1600;
    recorder.patchUsed(folder / "show.okp", false);
    recorder.patchUsed("/elsewhere/kept.okp", true);

    const std::filesystem::path file = folder / "show.txt";
    ASSERT_EQ(recorder.save(file), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(folder / "show.txt.partial"));
    const ScriptReadResult read = readPerformanceScript(file);
    ASSERT_FALSE(read.problem) << read.problem->what;
    ASSERT_EQ(read.actions.size(), recorder.actions().size());
    for (std::size_t i = 0; i < read.actions.size(); ++i) {
        EXPECT_TRUE(sameAction(read.actions[i], recorder.actions()[i])) << i;
    }
    const std::vector<std::uint8_t> bytes = test::readFileBytes(file);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("\n0 load 1 intro.avi\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n80 event 0 0 64 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n1500 load 2 /elsewhere/b.mp4\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n1600 patch show.okp\n1600 save-patch /elsewhere/kept.okp\n"),
        std::string::npos)
        << text;
}

TEST_F(PerformanceRecorderTest, WhatNoLineCanHoldIsLeftOutAndSaidTheRestIsSaved)
{
    test::TempDir folder;
    recorder.start();
    processor.ProcessEvent({ 99, 0, 0, 0 });
    recorder.clipLoaded(1, "/clips/two\nlines.avi");
    processor.ProcessEvent({ 11, 0, 0, 0 });
    const auto problem = recorder.save(folder / "show.txt");
    ASSERT_TRUE(problem);
    EXPECT_EQ(*problem,
        "2 action(s) left out: an event code beyond 41, or a clip name that no line holds");
    const ScriptReadResult read = readPerformanceScript(folder / "show.txt");
    ASSERT_FALSE(read.problem);
    ASSERT_EQ(read.actions.size(), 1u);
    EXPECT_EQ(std::get<EventAction>(read.actions[0].command).event.Code, 11);
}

TEST_F(PerformanceRecorderTest, SavingWhereNoFileCanBeWrittenSaysWhyAndLeavesNothing)
{
    test::TempDir folder;
    recorder.start();
    processor.ProcessEvent({ 11, 0, 0, 0 });
    const auto problem = recorder.save(folder / "missing" / "show.txt");
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("missing/show.txt"), std::string::npos) << *problem;
    EXPECT_NE(problem->find("No such file or directory"), std::string::npos) << *problem;
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

} // namespace
} // namespace oskel
