#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "core/event_processor.h"
#include "core/slot_sound.h"
#include "effects/effect_host.h"
#include "platform/manual_clock_sound_device.h"
#include "platform/shared_library.h"
#include "playback/audio_engine.h"
#include "playback/clip_loader.h"
#include "playback/frame_clock.h"
#include "playback/playback.h"
#include "recording_renderer.h"
#include "sources/fake_media_source.h"
#include "support/recording_user_interface.h"
#include "support/temp_dir.h"

namespace oskel {
namespace {

class NoEvents : public EventSink {
public:
    void ProcessEvent(const TSlotEvent&) override { }
};

// A source that cannot reach the frames from 10 on and hands out the last one it reached with
// its failure, as the streaming source does when its seeks fail.
class StuckSource : public test::FakeMediaSource {
public:
    StuckSource()
        : FakeMediaSource(test::FakeClip {})
    {
    }
    int getFrame(std::int64_t index, TSourceInfo& info, const std::uint8_t*& pixels) override
    {
        if (index < 10) {
            return FakeMediaSource::getFrame(index, info, pixels);
        }
        FakeMediaSource::getFrame(9, info, pixels);
        return kSourceFailed;
    }
};

// The tick is stepped by hand on the test's thread, which is the main thread: its calls onto
// the main thread run at once. The slots' workers run on their own threads.
class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(clock.begin()); }
    void TearDown() override { clock.end(); }

    // A 50-frame clip at 25 fps against two seconds of silent sound, loaded in `slot`; the file
    // system's reader is a StuckSource.
    TPlayAvistruct& load(int number, SourceSystemKind system = SourceSystemKind::ssDS)
    {
        sources.SourceInit(number, system, 24);
        std::filesystem::path file = "/proc/self/exe"; // any existing file
        EXPECT_EQ(sources.SourceOpen(number, file), 0);
        TPlayAvistruct& slot = performance.slot(number);
        slot.FrameCount = 50;
        slot.FrameRate = 25;
        slot.ClipWidth = 320;
        slot.ClipHeight = 240;
        EXPECT_TRUE(audio.BuildSilentBuffers(slot));
        slot.Loaded = true;
        return slot;
    }
    // Puts a playing slot's cursor at a position and holds it there.
    void hold(TPlayAvistruct& slot, std::int64_t position)
    {
        slot.Playing = true;
        slot.Paused = true;
        activeBuffer(slot)->setPosition(position);
    }
    int drawnFrame(int slot)
    {
        for (const auto& draw : renderer.takeDraws()) {
            if (draw.slot == slot) {
                return draw.firstByte;
            }
        }
        return -1;
    }

    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    ManualClockSoundDevice device;
    AudioEngine audio { device, ui, [] { return std::optional<std::int64_t>(); } };
    SourceInterface sources { [](SourceSystemKind system) -> std::unique_ptr<MediaSource> {
        if (system == SourceSystemKind::ssVFW) {
            return std::make_unique<StuckSource>();
        }
        return std::make_unique<test::FakeMediaSource>(test::FakeClip {});
    } };
    test::RecordingRenderer renderer;
    NoEvents events;
    Transport transport { performance, events, nullptr, [] { return 1000u; }, 1 };
    SilentPlaybackMonitor monitor;
    FrameClock clock { performance, sources, renderer, transport, monitor };
};

TEST_F(FrameClockTest, ThePlayCursorPicksTheFrame)
{
    TPlayAvistruct& slot = load(1); // 176400 bytes of sound
    struct Case {
        int direction;
        std::int64_t cursor;
        int frame;
    };
    for (const Case& c : std::vector<Case> {
             { 1, 0, 0 }, { 1, 88200, 25 }, { 1, 3528, 1 }, // 50 x 3528 / 176400 = 1.0
             { 1, 5292, 2 }, // 1.5 -> 2
             { 1, 8820, 2 }, // 2.5 -> 2, halves to even
             { 1, 176400, 49 }, // exactly FrameCount: the last frame
             { 2, 0, 49 }, // backwards: mirrored
             { 2, 88200, 25 }, { 2, 170000, 2 }, // 50 x 6400 / 176400 = 1.81 -> 2
         }) {
        slot.Direction = c.direction;
        hold(slot, c.cursor);
        clock.tick();
        EXPECT_EQ(drawnFrame(1), c.frame) << c.direction << " " << c.cursor;
        EXPECT_EQ(slot.CurrentFrame, c.frame);
        EXPECT_EQ(clock.shownFrame(1), c.frame);
    }
}

TEST_F(FrameClockTest, AFailedFetchThatHandsOutThePictureBeforeKeepsItShown)
{
    TPlayAvistruct& slot = load(2, SourceSystemKind::ssVFW);
    hold(slot, 3528 * 5);
    clock.tick();
    EXPECT_EQ(drawnFrame(2), 5);
    hold(slot, 3528 * 30);
    clock.tick();
    EXPECT_EQ(drawnFrame(2), 9) << "rather than nothing";
}

TEST_F(FrameClockTest, TheWorkersLeaveTheFramesTheyFetchForTheLivePreviews)
{
    SlotPreviews previews;
    clock.setPreviews(&previews);
    load(5);
    hold(load(4), 88200);
    clock.tick();
    const std::optional<ThumbnailPicture> picture = previews.takeNew(4);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pixels.size(), std::size_t { 96 * 72 * 3 });
    EXPECT_FALSE(previews.takeNew(5)) << "a slot that does not play leaves none";
    clock.setPreviews(nullptr);
}

TEST_F(FrameClockTest, WithNothingPlayingATickStillPresentsAndAcknowledges)
{
    load(2);
    for (auto& record : performance.slots()) {
        record.FrameAck = false;
    }
    clock.tick();
    EXPECT_TRUE(renderer.takeDraws().empty());
    EXPECT_EQ(renderer.presents, 1);
    for (const auto& record : performance.slots()) {
        EXPECT_TRUE(record.FrameAck);
    }
}

TEST_F(FrameClockTest, AFinishedSlotIsFoundUnlessPausedReversingOrLooping)
{
    TPlayAvistruct& slot = load(3);
    slot.Playing = true; // but its buffer is stopped
    slot.Looping = true;
    clock.tick();
    EXPECT_TRUE(slot.Playing);
    EXPECT_EQ(drawnFrame(3), 0);

    slot.Looping = false;
    clock.tick();
    EXPECT_FALSE(slot.Playing);
    EXPECT_EQ(drawnFrame(3), -1);
    using Call = test::RecordingUserInterface::SlotColourCall;
    EXPECT_EQ(ui.statusColours.back(), (Call { 3, SlotColour::Black }));
}

TEST_F(FrameClockTest, AHiddenSyncSlotRunsButIsNeitherDecodedNorDrawn)
{
    TPlayAvistruct& slot = load(4);
    slot.InstallationMode = true;
    slot.Shown = false;
    hold(slot, 88200);
    clock.tick();
    EXPECT_EQ(drawnFrame(4), -1);
    EXPECT_EQ(slot.AudioPosition, 88200) << "its transport still runs";
}

TEST_F(FrameClockTest, LayersAreDrawnInTheOrderTheTickBeganWith)
{
    for (int number : { 5, 6, 7 }) {
        hold(load(number), 0);
    }
    renderer.onDraw = [this](int slot) {
        if (slot == 5) {
            performance.bringToFront(5); // during the tick
        }
    };
    clock.tick();
    std::vector<int> order;
    for (const auto& draw : renderer.takeDraws()) {
        order.push_back(draw.slot);
    }
    EXPECT_EQ(order, (std::vector<int> { 5, 6, 7 }));
    renderer.onDraw = nullptr;
    clock.tick();
    order.clear();
    for (const auto& draw : renderer.takeDraws()) {
        order.push_back(draw.slot);
    }
    EXPECT_EQ(order, (std::vector<int> { 6, 7, 5 })) << "the new order holds from the next tick";
}

TEST_F(FrameClockTest, OutOfRangeCursorsOfReversingOrJustStartedSlots)
{
    TPlayAvistruct& slot = load(8);
    hold(slot, 0);
    slot.Length = 88200; // the cursor now lies past the clip's end
    activeBuffer(slot)->setPosition(176400);
    slot.Reversing = true;
    slot.ReverseFrame = 17;
    clock.tick();
    EXPECT_EQ(drawnFrame(8), 17);

    slot.Reversing = false;
    slot.Started = true;
    slot.InPoint = 44100; // a quarter of the way in at the original length
    clock.tick();
    EXPECT_EQ(drawnFrame(8), 25) << "the frame of the in point";

    clock.tick();
    EXPECT_EQ(drawnFrame(8), -1) << "no longer just started: not drawn";
}

TEST_F(FrameClockTest, NewClipsGetTheirTexturesAndTheLoaderIsFreed)
{
    load(9);
    GlobalState& globals = performance.globals();
    globals.loadingBusy = true;
    globals.slotTexturePending[9] = true;
    globals.texturesPending = true;
    clock.tick();
    ASSERT_EQ(renderer.created.size(), 1u);
    EXPECT_EQ(renderer.created[0].slot, 9);
    EXPECT_EQ(renderer.created[0].width, 320);
    EXPECT_EQ(renderer.deleted, std::vector<int> { 9 });
    EXPECT_FALSE(globals.slotTexturePending[9]);
    EXPECT_FALSE(globals.texturesPending);
    EXPECT_FALSE(globals.loadingBusy);
    EXPECT_EQ(ui.statusTexts.back().rfind("Ready ... ", 0), 0u);
}

// A source that takes longer than the worker time-out for one slot.
class HangingSource : public test::FakeMediaSource {
public:
    HangingSource()
        : FakeMediaSource(test::FakeClip {})
    {
    }
    int getFrame(std::int64_t index, TSourceInfo& info, const std::uint8_t*& pixels) override
    {
        std::this_thread::sleep_for(FrameClock::kWorkerTimeout + std::chrono::milliseconds(300));
        return FakeMediaSource::getFrame(index, info, pixels);
    }
};

// Slot 2 runs the test suite's slow effect, 100 ms a frame.
class SlowEffectTick : public FrameClockTest {
protected:
    void SetUp() override
    {
        FrameClockTest::SetUp();
        clock.setEffects(&host);
        host.RunUpFreeFrame();
        host.ScanPlugins();
    }
    SystemLibraryLoader loader;
    EffectHost host { performance, loader, EffectFolders { { OSKEL_TEST_PLUGINS }, {}, {} } };
};

// The running frame thread's ticks do not wait for the slow slot: it shows its frame before
// until the new one is made, then that one, while the other slot moves on every tick. A tick
// stepped for a render waits for it and shows the frame chosen.
TEST_F(SlowEffectTick, ASlowEffectSlowsItsSlotNotTheTick)
{
    TPlayAvistruct& quick = load(1);
    TPlayAvistruct& slow = load(2);
    host.LoadNewPlugin("Slow.so", host.plugins().indexOf("Slow.so"), 2);
    ASSERT_TRUE(host.SetEffectEnabled(2, true));
    const auto showAll = [&](int frame) {
        hold(quick, 3528 * frame);
        hold(slow, 3528 * frame);
    };
    using Draw = test::RecordingRenderer::Draw;
    const auto drawOf = [](const std::vector<Draw>& draws, int slot) {
        for (const Draw& draw : draws) {
            if (draw.slot == slot) {
                return std::pair { draw.firstByte, draw.again };
            }
        }
        return std::pair { -1, false };
    };
    showAll(3);
    clock.tick(FrameClock::WorkerWait::EveryWorker);
    auto draws = renderer.takeDraws();
    ASSERT_EQ(drawOf(draws, 2), std::pair(3, false));

    showAll(7);
    std::vector<std::pair<int, bool>> slowShown;
    int quickShownNew = 0;
    std::chrono::steady_clock::duration longest {};
    for (int tick = 0; tick < 50 && (slowShown.empty() || slowShown.back().first != 7); ++tick) {
        const auto started = std::chrono::steady_clock::now();
        clock.tick(FrameClock::WorkerWait::Bounded);
        longest = std::max(longest, std::chrono::steady_clock::now() - started);
        draws = renderer.takeDraws();
        // A loaded machine may make even the quick slot miss a tick's short wait.
        EXPECT_NE(drawOf(draws, 1).first, -1) << tick;
        quickShownNew += drawOf(draws, 1) == std::pair(7, false) ? 1 : 0;
        slowShown.push_back(drawOf(draws, 2));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_GE(slowShown.size(), 3u) << "100 ms of effect spans several ticks";
    EXPECT_GE(quickShownNew, 1);
    EXPECT_EQ(slowShown.back(), std::pair(7, false));
    for (std::size_t i = 0; i + 1 < slowShown.size(); ++i) {
        EXPECT_EQ(slowShown[i], std::pair(3, true)) << i;
    }
    // A tick that waited for the effect would take its 100 ms.
    EXPECT_LT(longest, std::chrono::milliseconds(75));

    showAll(9);
    clock.tick(FrameClock::WorkerWait::EveryWorker);
    draws = renderer.takeDraws();
    EXPECT_EQ(drawOf(draws, 2), std::pair(9, false));
    EXPECT_TRUE(slow.FrameAck);
}

TEST(FrameClockThreads, AHangingSourceCostsItsSlotOneTickAndTheOthersAreDrawn)
{
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    ManualClockSoundDevice device;
    AudioEngine audio(device, ui, [] { return std::optional<std::int64_t>(); });
    SourceInterface sources([](SourceSystemKind system) -> std::unique_ptr<MediaSource> {
        if (system == SourceSystemKind::ssVFW) {
            return std::make_unique<HangingSource>();
        }
        return std::make_unique<test::FakeMediaSource>(test::FakeClip {});
    });
    test::RecordingRenderer renderer;
    NoEvents events;
    Transport transport(
        performance, events, nullptr, [] { return 1000u; }, 1);
    SilentPlaybackMonitor monitor;
    FrameClock clock(performance, sources, renderer, transport, monitor);
    for (int number : { 1, 2, 3 }) {
        // Slot 2 hangs; slot 3 has no sound length at all.
        sources.SourceInit(
            number, number == 2 ? SourceSystemKind::ssVFW : SourceSystemKind::ssDS, 24);
        ASSERT_EQ(sources.SourceOpen(number, "/proc/self/exe"), 0);
        TPlayAvistruct& slot = performance.slot(number);
        slot.FrameCount = 50;
        slot.FrameRate = 25;
        ASSERT_TRUE(audio.BuildSilentBuffers(slot));
        slot.Loaded = true;
        slot.Playing = true;
        slot.Paused = true;
    }
    performance.slot(3).Length = 0;
    ASSERT_TRUE(clock.begin());
    clock.tick();
    std::vector<int> drawn;
    for (const auto& draw : renderer.takeDraws()) {
        drawn.push_back(draw.slot);
    }
    EXPECT_EQ(drawn, std::vector<int> { 1 });
    EXPECT_EQ(renderer.presents, 1) << "the output goes on";
    clock.end();
}

TEST(FrameClockThreads, UnloadWaitsForTheRunningFrameThreadWithoutDeadlock)
{
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    ManualClockSoundDevice device;
    AudioEngine audio(device, ui, [] { return std::optional<std::int64_t>(); });
    SourceInterface sources([](SourceSystemKind) {
        return std::make_unique<test::FakeMediaSource>(test::FakeClip {});
    });
    test::RecordingRenderer renderer;
    NoEvents events;
    Transport transport(
        performance, events, nullptr, [] { return 1000u; }, 1);
    SilentPlaybackMonitor monitor;
    FrameClock clock(performance, sources, renderer, transport, monitor);
    AudioMailbox mailbox;
    Playback playback(performance, mailbox);
    playback.setCompanion(&clock);
    performance.setPlaybackThreads(&playback);

    for (int round = 0; round < 5; ++round) {
        sources.SourceInit(1, SourceSystemKind::ssDS, 24);
        ASSERT_EQ(sources.SourceOpen(1, "/proc/self/exe"), 0);
        TPlayAvistruct& slot = performance.slot(1);
        slot.FrameCount = 50;
        slot.FrameRate = 25;
        ASSERT_TRUE(audio.BuildSilentBuffers(slot));
        slot.Source = sources.closer(1);
        slot.Loaded = true;
        slot.Playing = true;
        slot.Looping = true;
        slot.ForwardBuffer->play(true);
        if (round == 0) {
            playback.startAudioThread();
            while (!clock.isRunning()) {
                mainThread.serveFor(std::chrono::milliseconds(1));
            }
        }
        // Unloaded once the running frame thread has passed the playing slot in a whole tick:
        // the second tick it acknowledges began after the slot was set playing.
        for (int tick = 0; tick < 2; ++tick) {
            slot.FrameAck = false;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!slot.FrameAck && std::chrono::steady_clock::now() < deadline) {
                mainThread.serveFor(std::chrono::milliseconds(1));
            }
            ASSERT_TRUE(slot.FrameAck) << "the frame thread ticks";
        }
        performance.UnloadSlot(1, false);
        EXPECT_FALSE(performance.slot(1).Loaded);
        EXPECT_FALSE(sources.info(1).ready);
    }
    playback.stopAudioThread();
    EXPECT_FALSE(clock.isRunning());
    EXPECT_GE(renderer.clears, 1) << "the output is left blank";
}

// An output whose drawing context or framebuffers cannot be set up.
class UndrawableRenderer : public test::RecordingRenderer {
public:
    bool InitDisplay() override { return false; }
};

// Without an output the frame thread still frees the loader, acknowledges its ticks and
// moves the slots on: the performer can go on loading, playing and unloading.
TEST(FrameClockThreads, WithAnOutputThatCannotBeDrawnLoadsFinishAndUnloadsReturn)
{
    test::TempDir folder;
    const std::filesystem::path file = folder / "clip.avi";
    std::ofstream(file) << "clip";
    test::RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    ManualClockSoundDevice device;
    AudioEngine audio(
        device, ui, [] { return std::optional<std::int64_t>(std::int64_t { 1 } << 40); });
    SourceInterface sources([](SourceSystemKind) {
        return std::make_unique<test::FakeMediaSource>(test::FakeClip {});
    });
    UndrawableRenderer renderer;
    NoEvents events;
    Transport transport(
        performance, events, nullptr, [] { return 1000u; }, 1);
    SilentPlaybackMonitor monitor;
    FrameClock clock(performance, sources, renderer, transport, monitor);
    AudioMailbox mailbox;
    Playback playback(performance, mailbox);
    playback.setCompanion(&clock);
    performance.setPlaybackThreads(&playback);
    ClipLoader loader(performance, sources, audio, playback);
    const GlobalState& globals = performance.globals();
    const auto serveUntil = [&](const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            mainThread.serveFor(std::chrono::milliseconds(1));
        }
        return done();
    };

    for (const int slot : { 1, 2 }) {
        ASSERT_TRUE(loader.LoadClipIntoSlot(slot, file, false, false)) << slot;
        ASSERT_TRUE(serveUntil([&] { return !globals.loadingBusy && !globals.texturesPending; }))
            << "the frame thread never finished loading slot " << slot;
    }
    TPlayAvistruct& slot = performance.slot(1);
    slot.Playing = true;
    slot.Paused = true;
    slot.ForwardBuffer->setPosition(88200);
    ASSERT_TRUE(serveUntil([&] { return slot.CurrentFrame == 25; }))
        << "the ticks follow the play cursor";
    slot.FrameAck = false;
    ASSERT_TRUE(serveUntil([&] { return bool { slot.FrameAck }; })) << "ticks are acknowledged";

    performance.UnloadSlot(1, false);
    EXPECT_FALSE(slot.Loaded);
    EXPECT_TRUE(clock.isRunning());
    EXPECT_TRUE(renderer.created.empty()) << "nothing is drawn with an output never set up";
    EXPECT_TRUE(renderer.takeDraws().empty());
    EXPECT_EQ(renderer.presents, 0);
    playback.stopAudioThread();
    EXPECT_FALSE(clock.isRunning());
}

} // namespace
} // namespace oskel
