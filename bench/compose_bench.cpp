// The output's cost per tick: sixteen full-size layers with luma key and opacity uploaded,
// composed and presented on the headless OpenGL surface (Mesa's software rasteriser when
// there is no GPU), beside the 40 ms of a tick at 25 frames per second.
#include <chrono>
#include <cstdint>
#include <vector>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "platform/gl/egl_surface.h"
#include "render/gl/gl_renderer.h"

namespace {

using namespace oskel;

constexpr int kWidth = 384;
constexpr int kHeight = 288;

// A frame whose brightness runs across it, different for each slot, so that the key keeps,
// blends and drops pixels alike.
std::vector<std::uint8_t> gradientFrame(int slot)
{
    std::vector<std::uint8_t> pixels(std::size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::size_t at = (std::size_t(y) * kWidth + std::size_t(x)) * 3;
            pixels[at] = static_cast<std::uint8_t>((x + slot * 16) % 256);
            pixels[at + 1] = static_cast<std::uint8_t>(y % 256);
            pixels[at + 2] = static_cast<std::uint8_t>((x + y) % 256);
        }
    }
    return pixels;
}

void BM_ComposeKeyedTranslucentLayers(benchmark::State& state)
{
    GlSurfaceResult surface = createEglSurface();
    if (!surface.surface) {
        state.SkipWithError(surface.error.c_str());
        return;
    }
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    GlRenderer renderer(performance, *surface.surface, mainThread);
    if (!renderer.InitDisplay()) {
        state.SkipWithError(renderer.lastError().c_str());
        return;
    }
    renderer.makeCurrent();

    std::vector<std::vector<std::uint8_t>> frames;
    TBitmapInfoHeader header;
    header.width = kWidth;
    header.height = kHeight;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        TPlayAvistruct& record = performance.slot(slot);
        record.Loaded = true;
        record.Playing = true;
        record.ClipWidth = kWidth;
        record.ClipHeight = kHeight;
        record.LumaKey = true;
        record.LumaKeyLevel = 300;
        record.LumaBlendLevel = 100;
        record.Alpha = true;
        record.AlphaLevel = 64;
        performance.snapshot()[slot] = record;
        renderer.CreateSlotTextures(slot, kWidth, kHeight);
        frames.push_back(gradientFrame(slot));
    }

    std::chrono::duration<double, std::milli> spent {};
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        for (int slot = 1; slot <= state.range(0); ++slot) {
            renderer.DrawSlotFrame(
                slot, performance.snapshot()[slot], frames[std::size_t(slot - 1)].data(), header);
        }
        renderer.Present();
        glFinish(); // the drawing itself, not only its queueing
        spent += std::chrono::steady_clock::now() - started;
    }
    renderer.releaseContext();
    state.counters["ms_per_tick"] = spent.count() / double(state.iterations());
    state.counters["tick_at_25fps_ms"] = 40.0;
}
// The argument is the number of layers: 0 shows the presentation's own share.
BENCHMARK(BM_ComposeKeyedTranslucentLayers)
    ->Arg(16)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
