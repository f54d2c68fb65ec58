// The whole playback engine under load: sixteen slots playing short generated clips through
// the real threads (the audio command thread, the frame thread, sixteen workers, the sources'
// decode threads and the real-time sound thread) while random events, loads, unloads and
// standby switches arrive from the main thread. Nothing may crash, deadlock or race (this
// runs under the thread sanitizer too), and every slot keeps its invariants.
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "core/event_processor.h"
#include "platform/millisecond_clock.h"
#include "platform/null_sound_device.h"
#include "playback/audio_engine.h"
#include "playback/clip_loader.h"
#include "playback/frame_clock.h"
#include "playback/null_frame_renderer.h"
#include "playback/playback.h"
#include "sources/reader_factory.h"
#include "support/clip_maker.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;

std::chrono::seconds stressDuration()
{
    const char* seconds = std::getenv("OSKEL_STRESS_SECONDS");
    return std::chrono::seconds(seconds != nullptr ? std::atoi(seconds) : 30);
}

TEST(FrameClockStress, SixteenSlotsPlayWhileEventsLoadsAndStandbyArrive)
{
    if (!test::ffmpegAvailable()) {
        GTEST_SKIP() << "the ffmpeg tool is missing";
    }
    const std::vector<std::filesystem::path> clips {
        test::makeClip("stress.avi",
            test::joinArgs({ test::testPicture("64x48", "25", "1"), test::tone(22050, "1"),
                { "-c:v", "mjpeg", "-c:a", "pcm_s16le" } })),
        test::makeClip("stress.mkv",
            test::joinArgs({ test::testPicture("80x60", "30", "1"), test::tone(44100, "1"),
                { "-c:v", "mpeg4", "-g", "10" } })),
    };

    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    NullSoundDevice sound(48000, 10ms);
    AudioMailbox mailbox;
    Playback playback(performance, mailbox);
    EventProcessor events(performance, mailbox, playback);
    AudioEngine audio(sound, ui, [] { return std::optional<std::int64_t>(); });
    SourceInterface sources(makeMediaReader);
    ClipLoader loader(performance, sources, audio, playback);
    Transport transport(
        performance, events, [&events](bool hide) { events.RestartSyncSlots(hide); },
        millisecondTick, 20261210);
    NullFrameRenderer renderer;
    SilentPlaybackMonitor monitor;
    FrameClock clock(performance, sources, renderer, transport, monitor);
    events.setSoundDevice(&sound);
    loader.setSyncRestarter([&events](bool hide) { events.RestartSyncSlots(hide); });
    playback.setCompanion(&clock);
    performance.setPlaybackThreads(&playback);
    performance.setEventSink(&events);
    sound.start();

    std::mt19937 random(7);
    const auto pick
        = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto loadInto = [&](int slot) {
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (performance.globals().loadingBusy && std::chrono::steady_clock::now() < deadline) {
            mainThread.serveFor(2ms);
        }
        loader.LoadClipIntoSlot(
            slot, clips[static_cast<std::size_t>(pick(0, 1))], pick(0, 3) == 0, false);
    };
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        loadInto(slot);
    }
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        events.ProcessEvent({ 0, 0, 64, slot });
    }

    const std::vector<std::uint8_t> codes { 0, 0, 0, 1, 2, 2, 3, 5, 6, 7, 8, 9, 10, 10, 13, 16, 17,
        20, 25, 30, 31, 32, 33, 34, 37, 40, 41 };
    const auto deadline = std::chrono::steady_clock::now() + stressDuration();
    int operations = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const int choice = pick(0, 99);
        try {
            if (choice < 3) {
                events.ProcessEvent({ static_cast<std::uint8_t>(pick(28, 29)), 0, 0, 0 });
            } else if (choice < 8) {
                loadInto(pick(1, 16));
            } else if (choice < 11) {
                performance.UnloadSlot(pick(1, 16), pick(0, 1) == 0);
            } else {
                TSlotEvent event;
                event.Code
                    = codes[static_cast<std::size_t>(pick(0, static_cast<int>(codes.size()) - 1))];
                event.Slot = pick(1, 16);
                event.Value = pick(0, 2) == 0 ? pick(-10000, 0) : pick(0, 400000);
                event.Value2 = pick(0, 127);
                events.ProcessEvent(event);
            }
        } catch (const SoundError&) {
            // A buffer refused a value: the event ends there, as in the program.
        }
        mainThread.serveFor(std::chrono::milliseconds(pick(0, 4)));
        ++operations;
    }
    events.ProcessEvent({ 28, 0, 0, 0 }); // standby: stop all, then end the threads
    EXPECT_FALSE(playback.audioThreadExists());
    EXPECT_FALSE(clock.isRunning());
    EXPECT_GT(operations, 100);

    for (int number = 1; number <= kSlotCount; ++number) {
        const TPlayAvistruct& slot = performance.slot(number);
        SCOPED_TRACE(number);
        EXPECT_FALSE(slot.Playing) << "standby stops every slot";
        EXPECT_TRUE(slot.Direction == 1 || slot.Direction == 2);
        if (slot.Loaded) {
            EXPECT_GE(slot.InPoint, 0);
            EXPECT_LE(slot.InPoint, slot.OutPoint);
            EXPECT_LE(slot.OutPoint, slot.Length);
            EXPECT_GE(slot.CurrentFrame, 0);
            EXPECT_LT(slot.CurrentFrame, std::max<std::int64_t>(slot.FrameCount, 1));
        }
    }
    sound.stop();
}

} // namespace
} // namespace oskel
