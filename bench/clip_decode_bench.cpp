// What a frame costs us against what the ffmpeg tool spends decoding the same file to 24-bit
// pixels, measured in the same run: forwards, backwards (reverse play, which must decode each
// long group of pictures from its keyframe), and loading a minute-long clip with sound.
//
// The ffmpeg tool converts every frame to 24 bits at full size; we convert at full size too,
// then halve and, for 1280 x 720, scale down to 384 x 216: slightly more work than the tool's.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sources/avi_source.h"
#include "sources/decoded_media.h"

extern char** environ;

namespace {

struct ToolFigures {
    double realMsPerFrame = 0.0;
    double cpuMsPerFrame = 0.0;
};

// Runs the ffmpeg tool; its diagnostics land in `log`.
bool runFfmpeg(std::vector<std::string> args, const std::filesystem::path& log)
{
    args.insert(args.begin(), { "ffmpeg", "-hide_banner", "-nostdin", "-y" });
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(
        &actions, STDERR_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)
        && WEXITSTATUS(status) == 0;
}

class Clips {
public:
    static Clips& get()
    {
        static Clips clips;
        return clips;
    }

    std::filesystem::path clip(const std::string& name) const { return m_folder / name; }

    // "bench: utime=0.512s stime=0.020s rtime=0.301s" on the tool's last line.
    ToolFigures measureTool(const std::string& name, std::int64_t frames) const
    {
        const std::filesystem::path log = m_folder / "bench.log";
        if (!runFfmpeg(
                { "-benchmark", "-i", clip(name).string(), "-pix_fmt", "bgr24", "-f", "null", "-" },
                log)) {
            throw std::runtime_error("the ffmpeg tool could not decode " + name);
        }
        std::ifstream in(log);
        const std::string text(
            (std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto value = [&text](const std::string& key) {
            const auto at = text.rfind(key + "=");
            return at == std::string::npos ? 0.0 : std::stod(text.substr(at + key.size() + 1));
        };
        const auto count = double(frames);
        return { 1000.0 * value("rtime") / count, 1000.0 * value("utime") / count };
    }

    ~Clips()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    Clips(const Clips&) = delete;
    Clips& operator=(const Clips&) = delete;

private:
    Clips()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "oskel3-bench-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("no temporary folder");
        }
        m_folder = pattern;
        make("mjpeg_640x480.avi",
            { "-f", "lavfi", "-i", "testsrc2=size=640x480:rate=25:duration=10", "-c:v", "mjpeg",
                "-q:v", "3" });
        make("h264_1280x720.mp4",
            { "-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=25:duration=10", "-c:v", "libx264",
                "-preset", "veryfast", "-g", "250", "-pix_fmt", "yuv420p" });
        make("minute_with_sound.avi",
            { "-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=60", "-f", "lavfi", "-i",
                "sine=frequency=440:sample_rate=44100:duration=60", "-ac", "2", "-c:v", "mjpeg",
                "-c:a", "libmp3lame" });
    }

    void make(const std::string& name, std::vector<std::string> args)
    {
        args.push_back(clip(name).string());
        if (!runFfmpeg(args, m_folder / "make.log")) {
            throw std::runtime_error("the ffmpeg tool could not make " + name);
        }
    }

    std::filesystem::path m_folder;
};

// The tool is timed just before and just after our run, and the two averaged, so that both
// figures see the same load on the machine.
void report(benchmark::State& state, const ToolFigures& before, const ToolFigures& after,
    double elapsedMs, double goal)
{
    const ToolFigures tool { (before.realMsPerFrame + after.realMsPerFrame) / 2,
        (before.cpuMsPerFrame + after.cpuMsPerFrame) / 2 };
    const double ours = elapsedMs / double(state.iterations());
    state.counters["ms_per_frame"] = ours;
    state.counters["ffmpeg_real_ms"] = tool.realMsPerFrame;
    state.counters["ffmpeg_cpu_ms"] = tool.cpuMsPerFrame;
    state.counters["ratio"] = ours / tool.realMsPerFrame;
    state.counters["goal_ratio"] = goal;
}

// One frame per iteration; returns the milliseconds the whole run took.
template <typename Fetch>
double playFrames(benchmark::State& state, std::int64_t count, bool backwards, Fetch fetch)
{
    std::int64_t index = backwards ? count - 1 : 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        fetch(index);
        index = backwards ? std::max<std::int64_t>(index - 1, 0) : std::min(index + 1, count - 1);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Through the AVI source, as the slot workers fetch frames.
void aviSourcePlay(benchmark::State& state)
{
    const bool backwards = state.range(0) != 0;
    const std::string name = "mjpeg_640x480.avi";
    oskel::AviSource source;
    oskel::TSourceInfo info;
    if (source.open(Clips::get().clip(name), info) != 0) {
        state.SkipWithError("cannot open the clip");
        return;
    }
    const ToolFigures before = Clips::get().measureTool(name, info.frameCount);
    const double elapsedMs = playFrames(state, info.frameCount, backwards, [&](std::int64_t index) {
        const std::uint8_t* pixels = nullptr;
        if (source.getFrame(index, info, pixels) != 0) {
            state.SkipWithError("a frame failed");
        }
        benchmark::DoNotOptimize(pixels);
    });
    report(state, before, Clips::get().measureTool(name, info.frameCount), elapsedMs,
        backwards ? 1.5 : 1.25);
    source.close(info);
}

// Straight on the decoding layer, as the streaming source uses it.
void decoderPlay(benchmark::State& state)
{
    const bool backwards = state.range(0) != 0;
    const std::string name = "h264_1280x720.mp4";
    std::string error;
    const auto decoder = oskel::openVideoDecoder(Clips::get().clip(name), "", error);
    if (!decoder) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::int64_t frames = decoder->info().frameCount;
    const ToolFigures before = Clips::get().measureTool(name, frames);
    const double elapsedMs
        = playFrames(state, decoder->info().frameCount, backwards, [&](std::int64_t index) {
              const oskel::DecodedFrame* frame = decoder->frameAt(index);
              if (frame == nullptr) {
                  state.SkipWithError("a frame failed");
              }
              benchmark::DoNotOptimize(frame);
          });
    report(
        state, before, Clips::get().measureTool(name, frames), elapsedMs, backwards ? 2.5 : 1.25);
}

// Loading a minute-long clip with MP3 sound: opening, frame 0 and the whole sound as PCM.
void loadMinuteWithSound(benchmark::State& state)
{
    const auto clip = Clips::get().clip("minute_with_sound.avi");
    for (auto _ : state) {
        oskel::AviSource source;
        oskel::TSourceInfo info;
        std::vector<std::uint8_t> sound;
        if (source.open(clip, info) != 0 || source.getAudio(info, sound) != 0) {
            state.SkipWithError("cannot load the clip");
            break;
        }
        benchmark::DoNotOptimize(sound.data());
        source.close(info);
    }
}

} // namespace

// One pass over each 250-frame clip: a second pass would be served from the cache of decoded
// frames, which holds a whole 10-second clip at its delivered size.
BENCHMARK(aviSourcePlay)
    ->ArgName("backwards")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(250)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(decoderPlay)
    ->ArgName("backwards")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(250)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(loadMinuteWithSound)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
