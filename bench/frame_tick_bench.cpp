// The frame thread's own cost per tick with sixteen playing slots whose source and renderer
// do nothing, beside the frame budget at 60 frames per second (goal: below 1 % of it). Then
// the same with 384 x 288 frames and an effect with a wet/dry mix on every slot, with the
// performance monitor's figures (mean decode, processing and upload milliseconds), beside
// the 40 ms budget of a tick at 25 frames per second; and once more with slot 1's effect one
// that takes 100 ms a frame, beside the same budget and the wait the tick allows a late worker.
// The ticks wait for the workers as the running frame thread's do.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <benchmark/benchmark.h>

#include "core/slot_event.h"
#include "effects/effect_host.h"
#include "platform/manual_clock_sound_device.h"
#include "platform/shared_library.h"
#include "playback/audio_engine.h"
#include "playback/frame_clock.h"
#include "playback/null_frame_renderer.h"
#include "playback/tick_figures.h"

namespace {

using namespace oskel;

class NothingSource : public MediaSource {
public:
    NothingSource(int width, int height)
        : m_width(width)
        , m_height(height)
    {
    }
    int open(const std::filesystem::path&, TSourceInfo& info) override
    {
        info.hasVideo = true;
        info.width = m_width;
        info.height = m_height;
        info.frameHeader.width = m_width;
        info.frameHeader.height = m_height;
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
    void stop(TSourceInfo&) override { }
    int close(TSourceInfo&) override { return 0; }

private:
    int m_width;
    int m_height;
    std::vector<std::uint8_t> m_pixel
        = std::vector<std::uint8_t>(static_cast<std::size_t>(m_width * m_height * 3), 90);
};

// The monitor's figures, as the performance monitor window collects them.
class FigureMonitor : public SilentPlaybackMonitor {
public:
    void tickDrawn(int decodeMs, int processingMs, int uploadMs) override
    {
        figures.add(decodeMs, processingMs, uploadMs);
    }
    TickFigureCounter figures;
};

class NoEvents : public EventSink {
public:
    void ProcessEvent(const TSlotEvent&) override { }
};

// Ticks of sixteen playing slots of `size` x `size` * 3 / 4 pixels; with `effects`, each
// runs our invert with a wet/dry mix of 0.5, but for slot 1 with `slowSlot`, which runs an
// effect that takes 100 ms a frame.
void runTicks(
    benchmark::State& state, int width, bool effects, FigureMonitor& monitor, bool slowSlot = false)
{
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    ManualClockSoundDevice device;
    AudioEngine audio(device, ui, [] { return std::optional<std::int64_t>(); });
    const int height = width * 3 / 4;
    SourceInterface sources(
        [&](SourceSystemKind) { return std::make_unique<NothingSource>(width, height); });
    NullFrameRenderer renderer;
    NoEvents events;
    Transport transport(
        performance, events, nullptr, [] { return 1000u; }, 1);
    FrameClock clock(performance, sources, renderer, transport, monitor);
    SystemLibraryLoader loader;
    const std::filesystem::path plugins = OSKEL_OUR_PLUGINS;
    EffectHost host(performance, loader,
        EffectFolders { { plugins, OSKEL_SLOW_PLUGIN_FOLDER },
            { plugins.parent_path() / EffectHost::kMixerFileName }, {} });
    host.ScanPlugins();
    if (effects) {
        clock.setEffects(&host);
    }
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
        record.ClipWidth = width;
        record.ClipHeight = height;
        if (effects) {
            const char* file = slowSlot && slot == 1 ? "Slow.so" : "Invert.so";
            host.LoadNewPlugin(file, host.plugins().indexOf(file), slot);
            host.SetEffectEnabled(slot, true);
            host.ChangeWetDryMix(slot, 0.5f);
        }
    }
    device.start();

    // The ticks run on a thread of their own, as the frame thread's do, so that their calls
    // onto the main thread are real hand-overs; this thread serves them meanwhile. Only the
    // ticks are timed, not the mixing of the sound between them.
    constexpr int kTicksPerRound = 50;
    std::mutex lock;
    std::condition_variable changed;
    int roundsWanted = 0;
    int roundsDone = 0;
    bool finished = false;
    double roundSeconds = 0.0;
    std::thread frameThread([&] {
        clock.begin();
        for (int round = 1;; ++round) {
            {
                std::unique_lock guard(lock);
                changed.wait(guard, [&] { return finished || roundsWanted >= round; });
                if (finished) {
                    break;
                }
            }
            std::chrono::duration<double> spent {};
            for (int i = 0; i < kTicksPerRound; ++i) {
                device.advanceFrames(800); // a frame's worth of sound: a new frame each tick
                const auto started = std::chrono::steady_clock::now();
                clock.tick(FrameClock::WorkerWait::Bounded);
                spent += std::chrono::steady_clock::now() - started;
            }
            {
                std::lock_guard guard(lock);
                roundSeconds = spent.count();
                roundsDone = round;
            }
            mainThread.post([] {}); // wakes the serving loop below
        }
        clock.end();
    });
    for (auto _ : state) {
        int target = 0;
        {
            std::lock_guard guard(lock);
            target = ++roundsWanted;
        }
        changed.notify_all();
        double seconds = 0.0;
        while (true) {
            mainThread.serveFor(std::chrono::milliseconds(5));
            std::lock_guard guard(lock);
            if (roundsDone == target) {
                seconds = roundSeconds;
                break;
            }
        }
        state.SetIterationTime(seconds / kTicksPerRound);
    }
    {
        std::lock_guard guard(lock);
        finished = true;
    }
    changed.notify_all();
    frameThread.join();
}

void BM_TickWithSixteenPlayingSlots(benchmark::State& state)
{
    FigureMonitor monitor;
    runTicks(state, 16, false, monitor);
    constexpr double kFrameBudgetSeconds = 1.0 / 60.0;
    state.counters["frame_budget_s"] = kFrameBudgetSeconds;
    state.counters["goal_s"] = kFrameBudgetSeconds / 100.0;
}
BENCHMARK(BM_TickWithSixteenPlayingSlots)->UseManualTime()->Iterations(40);

void BM_TickWithSixteenEffectSlots(benchmark::State& state)
{
    FigureMonitor monitor;
    runTicks(state, 384, true, monitor);
    const TickFigures figures = monitor.figures.take();
    state.counters["decode_ms"] = figures.decodeMs;
    state.counters["processing_ms"] = figures.processingMs;
    state.counters["upload_ms"] = figures.uploadMs;
    state.counters["budget_s"] = 0.040;
}
BENCHMARK(BM_TickWithSixteenEffectSlots)->UseManualTime()->Iterations(10);

void BM_TickWithOneSlowEffect(benchmark::State& state)
{
    FigureMonitor monitor;
    runTicks(state, 384, true, monitor, true);
    state.counters["budget_s"] = 0.040;
    state.counters["late_wait_s"]
        = std::chrono::duration<double>(FrameClock::kLateWorkerBound).count();
}
BENCHMARK(BM_TickWithOneSlowEffect)->UseManualTime()->Iterations(10);

} // namespace

BENCHMARK_MAIN();
