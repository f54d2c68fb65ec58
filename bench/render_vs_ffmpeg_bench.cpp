// The offline render beside FFmpeg's own filter graph doing the same composition, in one run,
// at two sizes: four 640 x 480 MJPEG clips (two with sound) composed at 384 x 288, and four
// 1280 x 720 clips composed at 1280 x 720 (`render --size 1280x720`); one luma-keyed at half
// opacity, one at 0.7 opacity, one at quarter size; to an uncompressed AVI with the mixed
// sound. FFmpeg runs single-threaded. Both run as programs of their own, so that wall time,
// processor time and peak memory are each program's whole. The ratios are oskel3's figure over
// FFmpeg's: below 1 is better. Goals: at 384 x 288 wall 0.67 (1.5 x faster), processor 1.0;
// at 1280 x 720 faster than FFmpeg's filter graph (wall below 1.0).
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include "temporary_folder.h"

extern char** environ;

namespace {

using namespace oskel;

struct Run {
    bool ok = false;
    double wallSeconds = 0.0;
    double processorSeconds = 0.0;
    double peakMebibytes = 0.0;
};

Run runProgram(const std::vector<std::string>& arguments, const std::filesystem::path& folder)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto started = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    Run run;
    int status = 0;
    rusage usage {};
    if (spawned != 0 || wait4(child, &status, 0, &usage) != child) {
        return run;
    }
    run.wallSeconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const auto seconds
        = [](const timeval& time) { return double(time.tv_sec) + time.tv_usec / 1e6; };
    run.processorSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.peakMebibytes = double(usage.ru_maxrss) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// The clips' size, the size composed at, and the length rendered.
struct Composition {
    int clipWidth;
    int clipHeight;
    int width;
    int height;
    int frames;
    int seconds; // of every clip: more than the frames at 25 a second
};

constexpr Composition kStandardSize { 640, 480, 384, 288, 500, 20 };
constexpr Composition kHdSize { 1280, 720, 1280, 720, 250, 11 };

std::string sizeText(int width, int height, char separator)
{
    return std::to_string(width) + separator + std::to_string(height);
}

bool makeClips(const std::filesystem::path& folder, const Composition& c)
{
    const std::string size = "s=" + sizeText(c.clipWidth, c.clipHeight, 'x');
    const std::string d = std::to_string(c.seconds);
    const std::string clips[] = {
        "-f lavfi -i testsrc2=" + size + ":r=25:d=" + d + " -f lavfi -i sine=f=330:d=" + d
            + " -c:v mjpeg -q:v 3 -c:a pcm_s16le a.avi",
        "-f lavfi -i life=" + size + ":r=25:mold=10:life_color=#ffd23f -t " + d
            + " -c:v mjpeg -q:v 3 b.avi",
        "-f lavfi -i mandelbrot=" + size + ":r=25 -t " + d + " -c:v mjpeg -q:v 3 c.avi",
        "-f lavfi -i smptehdbars=" + size + ":r=25 -f lavfi -i sine=f=550:d=" + d + " -t " + d
            + " -c:v mjpeg -q:v 3 -c:a pcm_s16le d.avi",
    };
    for (const std::string& clip : clips) {
        const std::string command = "cd '" + folder.string() + "' && ffmpeg -v error -y " + clip;
        if (std::system(command.c_str()) != 0) {
            return false;
        }
    }
    std::ofstream(folder / "show.txt") << "0 load 1 a.avi\n0 load 2 b.avi\n0 load 3 c.avi\n"
                                          "0 load 4 d.avi\n0 event 0 0 64 1\n0 event 0 0 64 2\n"
                                          "0 event 0 0 64 3\n0 event 0 0 64 4\n"
                                          "0 event 20 300 0 2\n0 event 34 128 0 2\n"
                                          "0 event 34 179 0 3\n0 event 18 96 0 4\n";
    return true;
}

// The same layers: the background scaled to the picture, the luma-keyed one at half opacity,
// one at 0.7 opacity, and one at half width and height in the middle.
std::vector<std::string> ffmpegGraph(const Composition& c)
{
    const std::string whole = sizeText(c.width, c.height, ':');
    const std::string quarter = sizeText(c.width / 2, c.height / 2, ':');
    const std::string at = sizeText(c.width / 4, c.height / 4, ':');
    return { "ffmpeg", "-v", "error", "-y", "-threads", "1", "-i", "a.avi", "-i", "b.avi", "-i",
        "c.avi", "-i", "d.avi", "-filter_threads", "1", "-filter_complex",
        "[0:v]scale=" + whole + "[b0];[1:v]scale=" + whole
            + ",format=yuva420p,lumakey=threshold=0.45:tolerance=0.05,colorchannelmixer=aa=0.5[l1];"
              "[2:v]scale="
            + whole + ",format=yuva420p,colorchannelmixer=aa=0.7[l2];[3:v]scale=" + quarter
            + "[l3];[b0][l1]overlay[o1];[o1][l2]overlay[o2];[o2][l3]overlay=" + at
            + ",format=bgr24[v];[0:a][3:a]amix=inputs=2[a]",
        "-map", "[v]", "-map", "[a]", "-frames:v", std::to_string(c.frames), "-c:v", "rawvideo",
        "-c:a", "pcm_s16le", "ff.avi" };
}

void renderBesideFfmpeg(
    benchmark::State& state, const Composition& c, double wallGoal, double processorGoal)
{
    bench::TemporaryFolder workspace;
    if (workspace.folder().empty() || !makeClips(workspace.folder(), c)) {
        state.SkipWithError("the ffmpeg tool could not make the clips");
        return;
    }
    setenv("XDG_CONFIG_HOME", (workspace.folder() / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (workspace.folder() / "data").c_str(), 1);
    const std::vector<std::string> ours { OSKEL3_BINARY, "render", "--script", "show.txt",
        "--frames", std::to_string(c.frames), "--size", sizeText(c.width, c.height, 'x'), "--out",
        "ok.avi" };
    const std::vector<std::string> theirs = ffmpegGraph(c);
    Run oskel;
    Run ffmpeg;
    for (auto _ : state) {
        oskel = runProgram(ours, workspace.folder());
        ffmpeg = runProgram(theirs, workspace.folder());
        if (!oskel.ok || !ffmpeg.ok) {
            state.SkipWithError(oskel.ok ? "the ffmpeg tool failed" : "oskel3 render failed");
            return;
        }
    }
    state.counters["oskel3_wall_s"] = oskel.wallSeconds;
    state.counters["ffmpeg_wall_s"] = ffmpeg.wallSeconds;
    state.counters["wall_ratio"] = oskel.wallSeconds / ffmpeg.wallSeconds;
    state.counters["wall_ratio_goal"] = wallGoal;
    state.counters["cpu_ratio"] = oskel.processorSeconds / ffmpeg.processorSeconds;
    state.counters["cpu_ratio_goal"] = processorGoal;
    state.counters["memory_ratio"] = oskel.peakMebibytes / ffmpeg.peakMebibytes;
}

void BM_RenderBesideFfmpegFilterGraph(benchmark::State& state)
{
    renderBesideFfmpeg(state, kStandardSize, 0.67, 1.0);
}

void BM_HdRenderBesideFfmpegFilterGraph(benchmark::State& state)
{
    renderBesideFfmpeg(state, kHdSize, 1.0, 1.0);
}

BENCHMARK(BM_RenderBesideFfmpegFilterGraph)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(false);

BENCHMARK(BM_HdRenderBesideFfmpegFilterGraph)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(2)
    ->ReportAggregatesOnly(false);

} // namespace

BENCHMARK_MAIN();
