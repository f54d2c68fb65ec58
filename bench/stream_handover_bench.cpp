// What streaming the output adds to the frame thread's tick. First a whole tick's drawing on
// the headless OpenGL surface (four keyed, translucent 384 x 288 layers uploaded, composed and
// presented), without a stream and with one, ticks taking turns in one run, with the read-back
// of every tick's picture into the stream (a frame due every tick, as at 25 ticks a second):
// the tick with streaming beside the tick without, goal under 10 % more. Then the hand-over
// alone, into a free slot (a copy) and when the compressor is behind (a drop), beside the
// 40 ms budget of a tick at 25 frames a second (goal: under 10 % of it).
// The stream really compresses and sends, to a UDP port of 127.0.0.1 that nobody reads.
#include <iostream>
#include <thread>
#include <vector>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "core/slot_geometry.h"
#include "keyed_layers.h"
#include "platform/gl/egl_surface.h"
#include "recording/stream_output.h"
#include "recording/streaming_renderer.h"
#include "render/gl/gl_renderer.h"

namespace {

using namespace oskel;

constexpr double kTickBudgetMs = 40.0;
constexpr double kGoalShare = 0.10;

StreamTarget loopbackTarget()
{
    StreamTargetChoice choice = chooseStreamTarget("udp://127.0.0.1:39999", 25);
    if (!choice.target) {
        throw std::runtime_error(choice.problem);
    }
    return *choice.target;
}

// The stream's thread: a stream that stops makes the figures of no worth, so it is said.
void tellStopped(const std::string& message)
{
    std::cerr << "The stream stopped: " << message << "\n";
}

void report(benchmark::State& state, double secondsPerHandOver)
{
    const double ms = secondsPerHandOver * 1000.0;
    state.counters["handover_ms"] = ms;
    state.counters["tick_budget_ms"] = kTickBudgetMs;
    state.counters["share_of_tick_pct"] = 100.0 * ms / kTickBudgetMs;
    state.counters["goal_pct"] = 100.0 * kGoalShare;
    state.counters["met"] = ms < kTickBudgetMs * kGoalShare ? 1 : 0;
}

constexpr int kLayers = 4;

void BM_TickWithAndWithoutStreaming(benchmark::State& state)
{
    GlSurfaceResult surface = createEglSurface();
    if (!surface.surface) {
        state.SkipWithError(surface.error.c_str());
        return;
    }
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    auto gl = std::make_unique<GlRenderer>(performance, *surface.surface, mainThread);
    GlRenderer& drawing = *gl;
    // Each tick is a stream frame later: every tick with the stream on reads back.
    StreamingRenderer::Clock::time_point now;
    StreamingRenderer renderer(
        std::move(gl), [&now] { return now += std::chrono::milliseconds(40); });
    if (!renderer.InitDisplay()) {
        state.SkipWithError(drawing.lastError().c_str());
        return;
    }
    renderer.makeCurrent();
    const bench::KeyedLayers layers(performance, renderer, kLayers);
    // A tick without streaming presents on the drawing surface itself; one with streaming
    // through the streaming renderer, which reads the picture back into the stream.
    auto tick = [&](FrameRenderer& presenter) {
        const auto started = std::chrono::steady_clock::now();
        layers.draw(renderer, kLayers);
        presenter.Present();
        glFinish(); // the drawing itself, not only its queueing
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    };

    StreamOutput stream(loopbackTarget(), false, tellStopped);
    renderer.setStream(&stream, 25);
    double withoutMs = 0.0;
    double withMs = 0.0;
    std::int64_t handedOver = 0;
    // Each tick begins with the compressor idle, so that neither finds it busy on the other
    // core with the picture before: the figures are the frame thread's own work. Both slots
    // are then free, as when the compressor keeps up, and each streamed tick reads back.
    auto compressorIdle = [&] {
        state.PauseTiming();
        while (stream.framesSent() < handedOver && stream.running()) {
            std::this_thread::yield();
        }
        state.ResumeTiming();
    };
    for (auto _ : state) {
        compressorIdle();
        withoutMs += tick(drawing);
        compressorIdle();
        const std::int64_t droppedBefore = stream.framesDropped();
        withMs += tick(renderer);
        handedOver += stream.framesDropped() == droppedBefore ? 1 : 0;
    }
    if (!stream.running()) {
        state.SkipWithError("the stream stopped");
    }
    renderer.setStream(nullptr);
    renderer.releaseContext();
    const double ticks = static_cast<double>(state.iterations());
    state.counters["tick_without_stream_ms"] = withoutMs / ticks;
    state.counters["tick_with_stream_ms"] = withMs / ticks;
    state.counters["more_pct"] = 100.0 * (withMs - withoutMs) / withoutMs;
    state.counters["goal_more_pct"] = 100.0 * kGoalShare;
    state.counters["met"] = withMs - withoutMs < withoutMs * kGoalShare ? 1 : 0;
    state.counters["streamed"] = static_cast<double>(stream.framesSent());
    state.counters["dropped"] = static_cast<double>(stream.framesDropped());
}
BENCHMARK(BM_TickWithAndWithoutStreaming)
    ->Iterations(500)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_HandOverIntoAFreeSlot(benchmark::State& state)
{
    StreamOutput stream(loopbackTarget(), false, tellStopped);
    std::vector<std::uint8_t> picture(std::size_t(kAreaWidth) * kAreaHeight * 3, 90);
    std::int64_t handedOver = 0;
    double seconds = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        while (stream.framesSent() < handedOver && stream.running()) {
            std::this_thread::yield(); // both slots free again
        }
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(stream.offerFrame(picture.data()));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++handedOver;
    }
    report(state, seconds / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_HandOverIntoAFreeSlot)->Iterations(300)->UseRealTime();

void BM_HandOverWhileTheCompressorIsBehind(benchmark::State& state)
{
    StreamOutput stream(loopbackTarget(), false, tellStopped);
    std::vector<std::uint8_t> picture(std::size_t(kAreaWidth) * kAreaHeight * 3, 90);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        benchmark::DoNotOptimize(stream.offerFrame(picture.data()));
    }
    const double seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    report(state, seconds / static_cast<double>(state.iterations()));
    state.counters["dropped"] = static_cast<double>(stream.framesDropped());
}
BENCHMARK(BM_HandOverWhileTheCompressorIsBehind)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
