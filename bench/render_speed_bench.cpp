// The offline render's speed: a thirty-second performance of four 384 x 288 clips with sound,
// playing as translucent and keyed layers, replayed tick by tick on the OpenGL compositor's
// headless surface and written as an AVI, in frames rendered per second of wall-clock time,
// beside real time (25 frames per second). Each run includes the start-up: reading the
// settings, loading the four clips and setting up the drawing.
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/render_command.h"
#include "temporary_folder.h"

namespace {

using namespace oskel;

constexpr int kFramesPerSecond = 25;
constexpr int kFrames = 750;
constexpr const char* kClipSeconds = "31";
constexpr int kLayers = 4;

class Workspace : public bench::TemporaryFolder {
public:
    // Four MJPEG clips with a tone each, a little longer than the render, and the
    // performance playing them.
    bool prepare()
    {
        std::string script;
        for (int slot = 1; slot <= kLayers; ++slot) {
            const std::string clip = "clip" + std::to_string(slot) + ".avi";
            const std::string seconds = kClipSeconds;
            const std::string command = "ffmpeg -v error -y -f lavfi -i "
                                        "testsrc2=size=384x288:rate=25:duration="
                + seconds + " -f lavfi -i sine=frequency=" + std::to_string(220 * slot)
                + ":sample_rate=44100:duration=" + seconds
                + " -ac 2 -c:v mjpeg -q:v 3 -c:a pcm_s16le '" + (folder() / clip).string() + "'";
            if (folder().empty() || std::system(command.c_str()) != 0) {
                return false;
            }
            script += "0 load " + std::to_string(slot) + " " + clip + "\n";
            script += std::to_string(slot * 10) + " event 0 -600 64 " + std::to_string(slot) + "\n";
        }
        script += "20 event 34 96 0 2\n" // translucent
                  "30 event 20 300 0 3\n" // luma keyed
                  "40 event 34 160 0 4\n" // translucent
                  "15000 event 37 128 2 4\n"; // crossfaded halfway
        std::ofstream(folder() / "show.txt") << script;
        return true;
    }
};

double processSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void BM_RenderFourLayersWithSound(benchmark::State& state, const char* compressor)
{
    Workspace workspace;
    if (!workspace.prepare()) {
        state.SkipWithError("the ffmpeg tool could not make the clips");
        return;
    }
    const std::filesystem::path folder = workspace.folder();
    const std::vector<std::string> arguments { "--script", (folder / "show.txt").string(), "--fps",
        std::to_string(kFramesPerSecond), "--frames", std::to_string(kFrames), "--compressor",
        compressor, "--out", (folder / "take.avi").string() };
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    const Locations locations = locationsFrom([&folder](const char* name) {
        return std::string(name) == "HOME" ? std::optional<std::string>(folder.string())
                                           : std::nullopt;
    });
    std::ostringstream out;
    std::ostringstream err;
    double seconds = 0.0;
    double processorSeconds = 0.0;
    for (auto _ : state) {
        const double processorStart = processSeconds();
        const auto started = std::chrono::steady_clock::now();
        const int status = runRenderCommand(views,
            RenderEnvironment {
                locations, openHeadlessRenderSurface, out, err, [] { return false; } });
        seconds
            += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        processorSeconds += processSeconds() - processorStart;
        if (status != 0) {
            state.SkipWithError(("the render failed: " + err.str()).c_str());
            return;
        }
    }
    const double framesPerSecond = kFrames * double(state.iterations()) / seconds;
    state.counters["render_fps"] = framesPerSecond;
    state.counters["real_time_fps"] = kFramesPerSecond;
    state.counters["x_real_time"] = framesPerSecond / kFramesPerSecond;
    // The processor time of all the threads, which other programs on the machine do not
    // change: what one frame costs.
    state.counters["cpu_ms_per_frame"]
        = 1000.0 * processorSeconds / (kFrames * double(state.iterations()));
}

BENCHMARK_CAPTURE(BM_RenderFourLayersWithSound, uncompressed, "Uncompressed Video")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK_CAPTURE(BM_RenderFourLayersWithSound, mjpeg, "MJPEG")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

} // namespace

BENCHMARK_MAIN();
