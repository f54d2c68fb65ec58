// Our effect plug-ins on a 384 x 288 frame, each beside memcpy of the same frame measured in
// the same run. Goals: the point effects (invert, posterize, colour) at least half memcpy's
// speed (goal_s: twice memcpy's time); blur within four times memcpy's time; the others are
// shown against twice memcpy's time. Then the host's whole effect step of one slot (the copy
// of the decoded frame, the effect, and the wet/dry mix through the mixer), beside a sixteenth
// of a 40 ms tick.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "effects/effect_host.h"
#include "effects/plugin_calls.h"
#include "platform/shared_library.h"

namespace {

using namespace oskel;

constexpr int kWidth = 384;
constexpr int kHeight = 288;
constexpr std::size_t kBytes = std::size_t { kWidth } * kHeight * 3;
const std::filesystem::path kPlugins = OSKEL_OUR_PLUGINS;

std::vector<std::uint8_t> picture()
{
    std::vector<std::uint8_t> frame(kBytes);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 9));
    }
    return frame;
}

// The seconds of one memcpy of the frame: the best of many, as the benchmarks' own loops
// settle on a warm cache too.
double memcpySeconds()
{
    const std::vector<std::uint8_t> from = picture();
    std::vector<std::uint8_t> to(kBytes);
    double best = 1.0;
    for (int round = 0; round < 50; ++round) {
        const auto started = std::chrono::steady_clock::now();
        for (int i = 0; i < 20; ++i) {
            std::memcpy(to.data(), from.data(), kBytes);
            benchmark::ClobberMemory();
        }
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - started;
        best = std::min(best, spent.count() / 20);
    }
    return best;
}

// Loads the plug-in at `path`, sets its parameters, times `run(calls, instance)` and prints
// the time per call as `counter` beside memcpy's and the goal (memcpy's times
// `goalTimesMemcpy`).
template <typename Run>
void timePlugin(benchmark::State& state, const std::filesystem::path& path,
    const std::vector<float>& values, double goalTimesMemcpy, const char* counter, Run run)
{
    SystemLibraryLoader loader;
    std::string error;
    const auto library = loader.open(path, error);
    if (!library) {
        state.SkipWithError(error.c_str());
        return;
    }
    const PluginCalls calls(reinterpret_cast<FF_Main_FuncPtr>(library->symbol("plugMain")));
    calls.initialise();
    VideoInfoStruct video { kWidth, kHeight, FF_DEPTH_24, FF_ORIENTATION_BL };
    const auto instance = calls.instantiate(video);
    if (!instance) {
        state.SkipWithError("no instance");
        return;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        calls.setParameter(static_cast<std::uint32_t>(i), values[i], *instance);
    }
    for (auto _ : state) {
        run(calls, *instance);
        benchmark::ClobberMemory();
    }
    calls.deInstantiate(*instance);
    calls.deInitialise();
    const double copy = memcpySeconds();
    state.counters[counter] = benchmark::Counter(
        1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["memcpy_s"] = copy;
    state.counters["goal_s"] = copy * goalTimesMemcpy;
}

void BM_Plugin(benchmark::State& state, const char* file, const std::vector<float>& values,
    double goalTimesMemcpy)
{
    std::vector<std::uint8_t> frame = picture();
    timePlugin(state, kPlugins / file, values, goalTimesMemcpy, "effect_s",
        [&](const PluginCalls& calls, FFInstanceID instance) {
            calls.processFrame(frame.data(), instance);
        });
}
BENCHMARK_CAPTURE(BM_Plugin, Invert, "Invert.so", { 1.0f }, 2.0);
BENCHMARK_CAPTURE(BM_Plugin, InvertHalf, "Invert.so", { 0.5f }, 2.0);
BENCHMARK_CAPTURE(BM_Plugin, Posterize, "Posterize.so", { 0.2f }, 2.0);
BENCHMARK_CAPTURE(BM_Plugin, Colour, "Colour.so", { 0.7f }, 2.0);
BENCHMARK_CAPTURE(BM_Plugin, ColourAllThree, "Colour.so", { 0.7f, 0.6f, 0.8f }, 2.0);
BENCHMARK_CAPTURE(BM_Plugin, BlurRadius2, "Blur.so", { 0.125f }, 4.0);
BENCHMARK_CAPTURE(BM_Plugin, BlurRadius16, "Blur.so", { 1.0f }, 4.0);
BENCHMARK_CAPTURE(BM_Plugin, Mirror, "Mirror.so", { 0.0f }, 2.0);
BENCHMARK_CAPTURE(BM_Plugin, RgbShift, "RgbShift.so", { 0.25f }, 2.0);
BENCHMARK_CAPTURE(BM_Plugin, Pixelate, "Pixelate.so", { 0.25f }, 2.0);
BENCHMARK_CAPTURE(BM_Plugin, Feedback, "Feedback.so", { 0.5f }, 2.0);
BENCHMARK_CAPTURE(BM_Plugin, Kaleidoscope, "Kaleidoscope.so", { 0.3f, 0.1f }, 2.0);
BENCHMARK_CAPTURE(BM_Plugin, EdgeGlow, "EdgeGlow.so", { 0.5f, 0.1f }, 4.0);
BENCHMARK_CAPTURE(BM_Plugin, ColourCycle, "ColourCycle.so", { 0.1f, 0.2f }, 2.0);

// The wet/dry mixer on its own: two frames read, one written, so its goal is twice memcpy's
// time like the point effects'.
void BM_Mixer(benchmark::State& state)
{
    std::vector<std::uint8_t> dry = picture();
    std::vector<std::uint8_t> wet(kBytes, 200);
    std::vector<std::uint8_t> out(kBytes);
    std::array<void*, 2> inputs { dry.data(), wet.data() };
    ProcessFrameCopyStruct frames { 2, inputs.data(), out.data() };
    timePlugin(state, kPlugins.parent_path() / EffectHost::kMixerFileName, { 0.5f }, 2.0, "mix_s",
        [&](const PluginCalls& calls, FFInstanceID instance) {
            calls.processFrameCopy(frames, instance);
        });
}
BENCHMARK(BM_Mixer);

// The slot worker's effect step: what a playing slot with an effect and a wet/dry mix costs.
void BM_EffectStep(benchmark::State& state)
{
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    SystemLibraryLoader loader;
    EffectHost host(performance, loader,
        EffectFolders {
            { kPlugins }, { kPlugins.parent_path() / EffectHost::kMixerFileName }, {} });
    host.ScanPlugins();
    TPlayAvistruct& record = performance.slot(1);
    record.Loaded = true;
    record.ClipWidth = kWidth;
    record.ClipHeight = kHeight;
    host.LoadNewPlugin("Invert.so", host.plugins().indexOf("Invert.so"), 1);
    host.ChangeWetDryMix(1, static_cast<float>(state.range(0)) / 100.0f);
    const std::vector<std::uint8_t> frame = picture();
    std::shared_ptr<const void> keep;
    for (auto _ : state) {
        benchmark::DoNotOptimize(host.processFrame(1, frame.data(), kWidth, kHeight, 24, keep));
        keep.reset();
    }
    constexpr double kTickBudgetSeconds = 0.040;
    state.counters["step_s"] = benchmark::Counter(
        1.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["goal_s"] = kTickBudgetSeconds / kSlotCount;
    state.counters["memcpy_s"] = memcpySeconds();
}
BENCHMARK(BM_EffectStep)->Arg(0)->Arg(50);

} // namespace

BENCHMARK_MAIN();
