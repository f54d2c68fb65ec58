// The output's cost per tick: sixteen full-size layers with luma key and opacity uploaded,
// composed and presented on the headless OpenGL surface (Mesa's software rasteriser when
// there is no GPU), beside the 40 ms of a tick at 25 frames per second.
#include <chrono>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "keyed_layers.h"
#include "platform/gl/egl_surface.h"
#include "render/gl/gl_renderer.h"

namespace {

using namespace oskel;

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

    const bench::KeyedLayers layers(performance, renderer, kSlotCount);

    std::chrono::duration<double, std::milli> spent {};
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        layers.draw(renderer, static_cast<int>(state.range(0)));
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
