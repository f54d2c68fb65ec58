// Thousands of random events from the main thread while the audio command thread and the
// real-time sound thread run: no deadlock, no data race (run under the thread sanitizer),
// and every slot record keeps its invariants.
#include <random>

#include <gtest/gtest.h>

#include "core/event_processor.h"
#include "platform/millisecond_clock.h"
#include "platform/null_sound_device.h"
#include "playback/audio_engine.h"
#include "playback/frame_clock.h"
#include "playback/null_frame_renderer.h"
#include "playback/playback.h"
#include "sources/fake_media_source.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;

TEST(PlaybackStress, RandomEventsWithStandbyWhileTheThreadsRun)
{
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    NullSoundDevice device(48000, 5ms);
    AudioEngine engine(device, ui, [] { return std::optional<std::int64_t>(); });
    AudioMailbox mailbox;
    Playback playback(performance, mailbox);
    EventProcessor processor(performance, mailbox, playback);
    processor.setSoundDevice(&device);

    const std::vector<int> loaded { 1, 2, 3, 7, 8, 16 };
    for (int number : loaded) {
        TPlayAvistruct& slot = performance.slot(number);
        slot.FrameCount = 10 + number;
        slot.FrameRate = 25;
        slot.ClipWidth = 320;
        slot.ClipHeight = 240;
        slot.InstallationMode = number == 7 || number == 8;
        ASSERT_TRUE(engine.BuildSilentBuffers(slot));
        slot.Loaded = true;
    }
    device.start();
    playback.startAudioThread();

    std::mt19937 random(20261210);
    const auto pick
        = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const std::vector<std::uint8_t> codes { 0, 0, 0, 1, 2, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 13, 16,
        17, 20, 25, 26, 30, 31, 32, 33, 34, 37, 39, 40, 41 };
    for (int i = 0; i < 3000; ++i) {
        TSlotEvent event;
        event.Slot = pick(0, 17);
        if (pick(0, 150) == 0) {
            event.Code = static_cast<std::uint8_t>(pick(28, 29));
        } else {
            event.Code
                = codes[static_cast<std::size_t>(pick(0, static_cast<int>(codes.size()) - 1))];
        }
        event.Value = pick(0, 3) == 0 ? pick(-20000, 200000) : pick(-10000, 765);
        event.Value2 = pick(0, 2) == 0 ? pick(100, 90000) : pick(0, 127);
        try {
            processor.ProcessEvent(event);
        } catch (const SoundError&) {
            // A buffer refused a value: the event ends there, as in the program.
        }
        mainThread.processPending();
    }
    processor.ProcessEvent({ 28, 0, 0, 0 });
    EXPECT_FALSE(playback.audioThreadExists());
    device.stop();

    for (int number = 1; number <= kSlotCount; ++number) {
        const TPlayAvistruct& slot = performance.slot(number);
        SCOPED_TRACE(number);
        EXPECT_FALSE(slot.Playing) << "standby stopped every slot";
        EXPECT_TRUE(slot.Direction == 1 || slot.Direction == 2);
        EXPECT_GE(slot.Volume, -10000);
        EXPECT_LE(slot.Volume, 0);
        EXPECT_GE(slot.Balance, 0);
        EXPECT_LE(slot.Balance, 127);
        if (slot.Loaded) {
            EXPECT_GE(slot.InPoint, 0);
            EXPECT_LE(slot.InPoint, slot.OutPoint);
            EXPECT_LE(slot.OutPoint, slot.Length);
            EXPECT_FALSE(slot.ForwardBuffer->isPlaying());
            EXPECT_FALSE(slot.BackwardBuffer->isPlaying());
        }
    }
    EXPECT_TRUE(LayerStack::isPermutation(performance.layerStack().order()));
}

// Counts the ticks that drew a slot; on the main thread, where the frame thread posts it.
class DrawnTicks : public SilentPlaybackMonitor {
public:
    void tickDrawn(int, int, int) override { ++count; }
    int count = 0;
};

// The performer changes the playing slots' settings (picture, sound, selection, effect, 3D)
// from the main thread while the frame thread and the slots' workers read them every tick:
// every field read across threads goes through the record's atomic fields or the snapshot
// (run under the thread sanitizer).
TEST(LiveSettingsStress, SlotSettingsChangeWhileTheFrameThreadPlays)
{
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    NullSoundDevice device(48000, 5ms);
    AudioEngine engine(device, ui, [] { return std::optional<std::int64_t>(); });
    AudioMailbox mailbox;
    Playback playback(performance, mailbox);
    EventProcessor processor(performance, mailbox, playback);
    processor.setSoundDevice(&device);
    SourceInterface sources([](SourceSystemKind) {
        return std::make_unique<test::FakeMediaSource>(test::FakeClip {});
    });
    Transport transport(performance, processor, nullptr, millisecondTick, 1);
    NullFrameRenderer renderer;
    DrawnTicks ticks;
    FrameClock clock(performance, sources, renderer, transport, ticks);
    playback.setCompanion(&clock);
    performance.setPlaybackThreads(&playback);
    performance.setEventSink(&processor);

    const std::vector<int> loaded { 1, 4, 9, 16 };
    for (const int number : loaded) {
        sources.SourceInit(number, SourceSystemKind::ssDS, 24);
        ASSERT_EQ(sources.SourceOpen(number, "/proc/self/exe"), 0);
        TPlayAvistruct& slot = performance.slot(number);
        slot.FrameCount = 50;
        slot.FrameRate = 25;
        slot.ClipWidth = 320;
        slot.ClipHeight = 240;
        ASSERT_TRUE(engine.BuildSilentBuffers(slot));
        slot.Source = sources.closer(number);
        slot.Loaded = true;
    }
    device.start();
    processor.ProcessEvent({ 6, 1, 0, 0 }); // loop on: the slots play on
    for (const int number : loaded) {
        processor.ProcessEvent({ 0, 0, 64, number });
    }

    std::mt19937 random(20240611);
    const auto pick
        = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const std::vector<std::uint8_t> codes { 2, 3, 7, 8, 9, 16, 30, 31, 34, 40 };
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    int changes = 0;
    while ((changes < 3000 || ticks.count < 100) && std::chrono::steady_clock::now() < deadline) {
        const int number = loaded[static_cast<std::size_t>(pick(0, 3))];
        TPlayAvistruct& slot = performance.slot(number);
        switch (pick(0, 4)) {
        case 0:
            slot.FFenable = !slot.FFenable;
            break;
        case 1:
            slot.BillBoard = !slot.BillBoard;
            slot.XRotSpeed = pick(-10, 10);
            break;
        case 2:
            slot.LumaKey = !slot.LumaKey;
            slot.LumaKeyLevel = pick(0, 765);
            slot.AlphaLevel = pick(0, 256);
            break;
        default: {
            TSlotEvent event;
            event.Code
                = codes[static_cast<std::size_t>(pick(0, static_cast<int>(codes.size()) - 1))];
            event.Slot = number;
            event.Value = pick(0, 2) == 0 ? pick(-10000, 0) : pick(0, 176400);
            event.Value2 = pick(0, 127);
            try {
                processor.ProcessEvent(event);
            } catch (const SoundError&) {
                // A buffer refused a value: the event ends there, as in the program.
            }
        }
        }
        ++changes;
        mainThread.serveFor(std::chrono::milliseconds(pick(0, 1)));
    }
    EXPECT_GE(ticks.count, 100) << "the frame thread drew while the settings changed";
    processor.ProcessEvent({ 28, 0, 0, 0 }); // standby: stop all, then end the threads
    EXPECT_FALSE(playback.audioThreadExists());
    EXPECT_FALSE(clock.isRunning());
    device.stop();
}

} // namespace
} // namespace oskel
