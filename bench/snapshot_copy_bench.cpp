// The frame thread has the sixteen live slot records copied into its snapshot on every tick.
// The figure to compare with: one frame at 60 frames per second.
#include <benchmark/benchmark.h>

#include "core/performance.h"

namespace {

constexpr double kFrameAt60FpsSeconds = 1.0 / 60.0;

void BM_SnapshotCopy(benchmark::State& state)
{
    oskel::SilentUserInterface ui;
    oskel::MainThreadDispatcher mainThread;
    oskel::Performance performance(ui, mainThread);
    for (int slot = 1; slot <= oskel::kSlotCount; ++slot) {
        auto& record = performance.slot(slot);
        record.Loaded = true;
        record.FileName
            = "/home/performer/video clips/clip number " + std::to_string(slot) + ".avi";
        record.StencilFileName = "/home/performer/masks/mask.bmp";
        record.StencilMask = std::make_shared<const std::vector<std::uint8_t>>(384 * 288, 0);
    }
    for (auto _ : state) {
        performance.copyLiveToSnapshot();
        benchmark::DoNotOptimize(performance.snapshot()[16].CurrentFrame.load());
    }
    // An inverted rate: seconds per copy, beside the seconds of one frame.
    const auto perCopy
        = benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert;
    state.counters["copy_s"] = benchmark::Counter(1.0, perCopy);
    state.counters["frame_budget_s"] = kFrameAt60FpsSeconds;
}
BENCHMARK(BM_SnapshotCopy);

} // namespace

BENCHMARK_MAIN();
