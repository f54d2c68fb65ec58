// The per-pixel work of one layer on a 384 x 288 frame, each routine printed next to a plain
// memcpy of as many bytes as it writes: bytes_per_second compares them. The aim for the luma
// key is a quarter of memcpy's speed. Its table is a ramp, whose alphas the row works out where
// the processor allows; ramp:0 takes the ramp away, leaving a lookup per pixel.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "render/layer_pixels.h"
#include "render/luma_table.h"
#include "render/pixel_rows.h"
#include "render/product_table.h"

namespace {

constexpr int kWidth = 384;
constexpr int kHeight = 288;
constexpr std::size_t kPixels = std::size_t { kWidth } * kHeight;

std::vector<std::uint8_t> noise(std::size_t count, unsigned seed)
{
    std::vector<std::uint8_t> bytes(count);
    unsigned state = seed;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

// Every target sits 64 bytes further into its page than its source: with both at the same
// offset, as two large allocations are, memcpy on some AMD processors runs ten times slower,
// which would flatter every routine compared with it.
constexpr std::size_t kTargetShift = 64;

struct Frame {
    std::vector<std::uint8_t> bgr = noise(kPixels * 3, 1);
    std::vector<std::uint8_t> bgra = noise(kPixels * 4, 2);
    std::vector<std::uint8_t> mask = noise(kPixels, 3);
    std::vector<std::uint8_t> target = std::vector<std::uint8_t>(kPixels * 4 + kTargetShift);
    std::uint8_t* out() { return target.data() + kTargetShift; }
    oskel::LumaCache luma;
    oskel::ProductTable product;

    Frame() { luma.update(300, 100, false); }
};

void finish(benchmark::State& state, std::size_t bytesPerFrame)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesPerFrame));
    state.counters["bytes_per_frame"] = static_cast<double>(bytesPerFrame);
}

void memcpyOfBytes(benchmark::State& state)
{
    const auto bytes = static_cast<std::size_t>(state.range(0));
    const std::vector<std::uint8_t> source = noise(bytes, 4);
    std::vector<std::uint8_t> target(bytes + kTargetShift);
    for (auto _ : state) {
        std::memcpy(target.data() + kTargetShift, source.data(), bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    finish(state, bytes);
}

void colourSwapCopy(benchmark::State& state)
{
    Frame frame;
    const auto mode = static_cast<int>(state.range(0));
    for (auto _ : state) {
        for (int row = 0; row < kHeight; ++row) {
            const std::size_t offset = std::size_t(row) * kWidth * 3;
            oskel::copyRowWithColourSwap(
                frame.bgr.data() + offset, frame.out() + offset, kWidth, mode);
        }
        benchmark::DoNotOptimize(frame.out());
        benchmark::ClobberMemory();
    }
    finish(state, kPixels * 3);
}

void lumaAlpha(benchmark::State& state)
{
    Frame frame;
    if (state.range(0) == 0) {
        frame.luma.table.ramp.reset();
    }
    for (auto _ : state) {
        oskel::lumaAlphaRow(
            frame.bgr.data(), frame.out(), static_cast<int>(kPixels), frame.luma.table);
        benchmark::DoNotOptimize(frame.out());
        benchmark::ClobberMemory();
    }
    finish(state, kPixels * 4);
}

void stencilAlpha(benchmark::State& state)
{
    Frame frame;
    for (auto _ : state) {
        for (int row = 0; row < kHeight; ++row) {
            const std::size_t pixel = std::size_t(row) * kWidth;
            oskel::stencilAlphaRow(frame.bgr.data() + pixel * 3, frame.mask.data() + pixel,
                frame.out() + pixel * 4, kWidth);
        }
        benchmark::DoNotOptimize(frame.out());
        benchmark::ClobberMemory();
    }
    finish(state, kPixels * 4);
}

void lumaTimesStencil(benchmark::State& state)
{
    Frame frame;
    for (auto _ : state) {
        for (int row = 0; row < kHeight; ++row) {
            const std::size_t pixel = std::size_t(row) * kWidth;
            oskel::lumaTimesStencilRow(frame.bgra.data() + pixel * 4, frame.mask.data() + pixel,
                frame.out() + pixel * 4, kWidth, frame.product);
        }
        benchmark::DoNotOptimize(frame.out());
        benchmark::ClobberMemory();
    }
    finish(state, kPixels * 4);
}

// A whole luma-keyed, stencilled flat layer: swap copy, luma alpha, product with the mask.
void prepareKeyedStencilledLayer(benchmark::State& state)
{
    Frame frame;
    oskel::TBitmapInfoHeader header;
    header.width = kWidth;
    header.height = kHeight;
    oskel::TPlayAvistruct snapshot;
    snapshot.ClipWidth = kWidth;
    snapshot.ClipHeight = kHeight;
    snapshot.LumaKey = true;
    snapshot.StencilEnabled = true;
    snapshot.StencilMask = std::make_shared<const std::vector<std::uint8_t>>(frame.mask);
    snapshot.StencilWidth = kWidth;
    snapshot.StencilHeight = kHeight;
    const oskel::TextureLayout layout = oskel::textureLayoutFor(kWidth, kHeight);
    oskel::WorkBuffers buffers;
    for (auto _ : state) {
        const oskel::PreparedLayer prepared = oskel::prepareLayerPixels(snapshot,
            { frame.bgr.data(), &header }, layout, frame.luma.table, frame.product, true, buffers);
        benchmark::DoNotOptimize(prepared.pixels.data);
        benchmark::ClobberMemory();
    }
    finish(state, kPixels * 4);
}

} // namespace

BENCHMARK(memcpyOfBytes)->Arg(kPixels * 3)->ArgName("bytes");
BENCHMARK(colourSwapCopy)->Arg(0)->Arg(2)->ArgName("mode");
BENCHMARK(memcpyOfBytes)->Arg(kPixels * 4)->ArgName("bytes");
BENCHMARK(lumaAlpha)->Arg(1)->Arg(0)->ArgName("ramp");
BENCHMARK(stencilAlpha);
BENCHMARK(lumaTimesStencil);
BENCHMARK(prepareKeyedStencilledLayer);
BENCHMARK_MAIN();
