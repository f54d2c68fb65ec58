// The sound mixer runs on the sound thread for every block of output. Thirty-two playing
// voices (sixteen slots, two buffers each, all sounding: the worst case) must take under 2 % of
// one core in real time. The plain summing loop over the same bytes, without resampling or
// gains, shows what the resampling and gains cost on top of reading the sound. With sixteen of
// the voices carrying a live source's sound as well, the same budget holds.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <numbers>
#include <span>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/live_sound_feed.h"
#include "platform/manual_clock_sound_device.h"

namespace {

constexpr int kVoices = 32;
constexpr int kOutputRate = 48000;
constexpr std::int64_t kBlockFrames = 512;
constexpr std::int64_t kSourceFrames = 44100 * 4;
constexpr oskel::WaveFormat kSourceFormat { 2, 44100, 16 };
constexpr double kBudgetPercent = 2.0;

struct Voices {
    oskel::ManualClockSoundDevice device { kOutputRate };
    std::vector<std::shared_ptr<oskel::SoundBuffer>> buffers;
    std::vector<std::span<const std::uint8_t>> bytes;

    Voices()
    {
        for (int v = 0; v < kVoices; ++v) {
            auto buffer = device.createBuffer(kSourceFormat, kSourceFrames * 4);
            const std::span<std::uint8_t> data = buffer->lock();
            for (std::int64_t frame = 0; frame < kSourceFrames; ++frame) {
                const double phase = 2.0 * std::numbers::pi * (220.0 + 20.0 * v) * double(frame);
                const auto sample = static_cast<std::int16_t>(8000.0 * std::sin(phase / 44100.0));
                std::memcpy(&data[std::size_t(frame) * 4], &sample, 2);
                std::memcpy(&data[std::size_t(frame) * 4 + 2], &sample, 2);
            }
            buffer->unlock();
            // 22050 .. 88200 Hz: half to double speed.
            buffer->setFrequency(22050 + (88200 - 22050) * v / (kVoices - 1));
            buffer->setVolume(-100 * v);
            buffer->setPan(600 * (v - kVoices / 2));
            buffer->play(true);
            bytes.push_back(data);
            buffers.push_back(std::move(buffer));
        }
        device.start();
    }
};

double threadCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// CPU time of the timed loop over the time its output lasts, as a share of one core.
void reportShareOfCore(benchmark::State& state, double cpuSeconds)
{
    const double outputSeconds = double(state.iterations()) * kBlockFrames / kOutputRate;
    state.counters["cpu_ms_per_output_s"] = 1000.0 * cpuSeconds / outputSeconds;
    state.counters["percent_of_core"] = 100.0 * cpuSeconds / outputSeconds;
    state.counters["budget_percent"] = kBudgetPercent;
}

void mixThirtyTwoVoices(benchmark::State& state)
{
    Voices voices;
    const double start = threadCpuSeconds();
    for (auto _ : state) {
        voices.device.advanceFrames(kBlockFrames);
    }
    reportShareOfCore(state, threadCpuSeconds() - start);
}

// Every forward buffer of the sixteen slots carries a live feed that the decode thread keeps
// full; only the mix is timed, not the pushes that stand in for the decode thread.
void mixThirtyTwoVoicesSixteenLive(benchmark::State& state)
{
    Voices voices;
    std::vector<std::shared_ptr<oskel::LiveSoundFeed>> feeds;
    for (int v = 0; v < kVoices; v += 2) {
        feeds.push_back(std::make_shared<oskel::LiveSoundFeed>(kOutputRate, 8192, 4800));
        voices.buffers[std::size_t(v)]->carryLiveSound(feeds.back());
    }
    double cpuSeconds = 0.0;
    for (auto _ : state) {
        for (const auto& feed : feeds) {
            while (feed->waiting() < 2 * kBlockFrames && feed->push({ 0.1f, -0.1f })) { }
        }
        const double start = threadCpuSeconds();
        voices.device.advanceFrames(kBlockFrames);
        cpuSeconds += threadCpuSeconds() - start;
    }
    reportShareOfCore(state, cpuSeconds);
}

// The same bytes summed frame by frame into the output, as if every voice played at the
// output rate at full volume.
void plainSumOfTheSameBytes(benchmark::State& state)
{
    Voices voices;
    std::vector<float> out(std::size_t(kBlockFrames) * 2);
    std::int64_t position = 0;
    const double start = threadCpuSeconds();
    for (auto _ : state) {
        std::fill(out.begin(), out.end(), 0.0f);
        for (const auto& bytes : voices.bytes) {
            const std::uint8_t* p = bytes.data() + position * 4;
            for (std::size_t i = 0; i < out.size(); ++i) {
                out[i]
                    += static_cast<float>(static_cast<std::int16_t>(p[2 * i] | p[2 * i + 1] << 8));
            }
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
        position = (position + kBlockFrames) % (kSourceFrames - kBlockFrames);
    }
    reportShareOfCore(state, threadCpuSeconds() - start);
}

} // namespace

BENCHMARK(mixThirtyTwoVoices)->Unit(benchmark::kMicrosecond);
BENCHMARK(mixThirtyTwoVoicesSixteenLive)->Unit(benchmark::kMicrosecond);
BENCHMARK(plainSumOfTheSameBytes)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
