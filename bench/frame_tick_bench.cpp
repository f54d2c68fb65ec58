// The frame thread's own cost per tick with sixteen playing slots whose source and renderer
// do nothing, beside the frame budget at 60 frames per second (goal: below 1 % of it).
#include <benchmark/benchmark.h>

#include "core/slot_event.h"
#include "platform/manual_clock_sound_device.h"
#include "playback/audio_engine.h"
#include "playback/frame_clock.h"
#include "playback/null_frame_renderer.h"

namespace {

using namespace oskel;

class NothingSource : public MediaSource {
public:
    int open(const std::filesystem::path&, TSourceInfo& info) override
    {
        info.hasVideo = true;
        info.width = info.height = 16;
        info.frameRate = 25;
        info.frameCount = 50;
        return 0;
    }
    int prepare(TSourceInfo&) override { return 0; }
    int getFrame(std::int64_t, TSourceInfo&, const std::uint8_t*& pixels) override
    {
        pixels = m_pixel.data();
        return 0;
    }
    int getAudio(TSourceInfo&, std::vector<std::uint8_t>&) override { return 999; }
    void stop(TSourceInfo&) override {}
    int close(TSourceInfo&) override { return 0; }

private:
    std::vector<std::uint8_t> m_pixel = std::vector<std::uint8_t>(16 * 16 * 3);
};

class NoEvents : public EventSink {
public:
    void ProcessEvent(const TSlotEvent&) override {}
};

void BM_TickWithSixteenPlayingSlots(benchmark::State& state)
{
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    ManualClockSoundDevice device;
    AudioEngine audio(device, ui, [] { return std::optional<std::int64_t>(); });
    SourceInterface sources([](SourceSystemKind) { return std::make_unique<NothingSource>(); });
    NullFrameRenderer renderer;
    NoEvents events;
    Transport transport(performance, events, nullptr, [] { return 1000u; }, 1);
    SilentPlaybackMonitor monitor;
    FrameClock clock(performance, sources, renderer, transport, monitor);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        sources.SourceInit(slot, SourceSystemKind::ssDS, 24);
        sources.SourceOpen(slot, "/proc/self/exe");
        TPlayAvistruct& record = performance.slot(slot);
        record.FrameCount = 50;
        record.FrameRate = 25;
        audio.BuildSilentBuffers(record);
        record.Loaded = true;
        record.Playing = true;
        record.Looping = true;
        record.ForwardBuffer->play(true);
    }
    device.start();
    clock.begin();
    std::int64_t frame = 0;
    for (auto _ : state) {
        state.PauseTiming();
        device.advanceFrames(800); // a frame's worth of sound, so every tick shows a new frame
        state.ResumeTiming();
        clock.tick();
        benchmark::DoNotOptimize(frame += clock.shownFrame(16));
    }
    clock.end();
    constexpr double kFrameBudgetSeconds = 1.0 / 60.0;
    state.counters["tick_s"] =
        benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["frame_budget_s"] = kFrameBudgetSeconds;
    state.counters["goal_s"] = kFrameBudgetSeconds / 100.0;
}
BENCHMARK(BM_TickWithSixteenPlayingSlots)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
