// Scaling a stencil to a clip's frame happens when a stencil is loaded, during a performance:
// it is compared with one frame at 25 frames per second.
#include <chrono>
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/stencil_resample.h"

namespace {

constexpr double kBudgetMs = 40.0;

oskel::GreyBitmap gradientStencil(int width, int height)
{
    oskel::GreyBitmap bitmap { width, height, {} };
    bitmap.pixels.reserve(std::size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap.pixels.push_back(static_cast<std::uint8_t>((x * 3 + y * 5) & 0xFF));
        }
    }
    return bitmap;
}

void resampleStencil(benchmark::State& state)
{
    const oskel::GreyBitmap source = gradientStencil(720, 576);
    const auto width = static_cast<int>(state.range(0));
    const auto height = static_cast<int>(state.range(1));
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::vector<std::uint8_t> mask = oskel::resampleStencil(source, width, height);
        benchmark::DoNotOptimize(mask.data());
    }
    const std::chrono::duration<double, std::milli> elapsed
        = std::chrono::steady_clock::now() - start;
    state.counters["ms_per_call"] = elapsed.count() / double(state.iterations());
    state.counters["budget_ms"] = kBudgetMs;
}

} // namespace

BENCHMARK(resampleStencil)
    ->Args({ 384, 288 })
    ->Args({ 1920, 1080 })
    ->ArgNames({ "width", "height" })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
