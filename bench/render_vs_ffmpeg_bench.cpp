// The offline render beside FFmpeg's own filter graph doing the same composition, in one run:
// four 640 x 480 MJPEG clips (two with sound) composed at 384 x 288, one luma-keyed at half
// opacity, one at 0.7 opacity, one at quarter size; 500 frames to an uncompressed AVI with the
// mixed sound. FFmpeg runs single-threaded. Both run as programs of their own, so that wall
// time, processor time and peak memory are each program's whole. The ratios are oskel3's
// figure over FFmpeg's: below 1 is better. Goals: wall 0.67 (1.5 x faster), processor 1.0.
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

bool makeClips(const std::filesystem::path& folder)
{
    const char* clips[] = {
        "-f lavfi -i testsrc2=s=640x480:r=25:d=20 -f lavfi -i sine=f=330:d=20 -c:v mjpeg -q:v 3 "
        "-c:a pcm_s16le a.avi",
        "-f lavfi -i life=s=640x480:r=25:mold=10:life_color=#ffd23f -t 20 -c:v mjpeg -q:v 3 "
        "b.avi",
        "-f lavfi -i mandelbrot=s=640x480:r=25 -t 20 -c:v mjpeg -q:v 3 c.avi",
        "-f lavfi -i smptehdbars=s=640x480:r=25 -f lavfi -i sine=f=550:d=20 -t 20 -c:v mjpeg "
        "-q:v 3 -c:a pcm_s16le d.avi",
    };
    for (const char* clip : clips) {
        const std::string command
            = "cd '" + folder.string() + "' && ffmpeg -v error -y " + std::string(clip);
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

const std::vector<std::string> kFfmpegGraph { "ffmpeg", "-v", "error", "-y", "-threads", "1", "-i",
    "a.avi", "-i", "b.avi", "-i", "c.avi", "-i", "d.avi", "-filter_threads", "1", "-filter_complex",
    "[0:v]scale=384:288[b0];[1:v]scale=384:288,format=yuva420p,lumakey=threshold=0.45:"
    "tolerance=0.05,colorchannelmixer=aa=0.5[l1];[2:v]scale=384:288,format=yuva420p,"
    "colorchannelmixer=aa=0.7[l2];[3:v]scale=192:144[l3];[b0][l1]overlay[o1];[o1][l2]"
    "overlay[o2];[o2][l3]overlay=96:72,format=bgr24[v];[0:a][3:a]amix=inputs=2[a]",
    "-map", "[v]", "-map", "[a]", "-frames:v", "500", "-c:v", "rawvideo", "-c:a", "pcm_s16le",
    "ff.avi" };

void BM_RenderBesideFfmpegFilterGraph(benchmark::State& state)
{
    bench::TemporaryFolder workspace;
    if (workspace.folder().empty() || !makeClips(workspace.folder())) {
        state.SkipWithError("the ffmpeg tool could not make the clips");
        return;
    }
    setenv("XDG_CONFIG_HOME", (workspace.folder() / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (workspace.folder() / "data").c_str(), 1);
    const std::vector<std::string> ours { OSKEL3_BINARY, "render", "--script", "show.txt",
        "--frames", "500", "--out", "ok.avi" };
    Run oskel;
    Run ffmpeg;
    for (auto _ : state) {
        oskel = runProgram(ours, workspace.folder());
        ffmpeg = runProgram(kFfmpegGraph, workspace.folder());
        if (!oskel.ok || !ffmpeg.ok) {
            state.SkipWithError(oskel.ok ? "the ffmpeg tool failed" : "oskel3 render failed");
            return;
        }
    }
    state.counters["oskel3_wall_s"] = oskel.wallSeconds;
    state.counters["ffmpeg_wall_s"] = ffmpeg.wallSeconds;
    state.counters["wall_ratio"] = oskel.wallSeconds / ffmpeg.wallSeconds;
    state.counters["wall_ratio_goal"] = 0.67;
    state.counters["cpu_ratio"] = oskel.processorSeconds / ffmpeg.processorSeconds;
    state.counters["cpu_ratio_goal"] = 1.0;
    state.counters["memory_ratio"] = oskel.peakMebibytes / ffmpeg.peakMebibytes;
}

BENCHMARK(BM_RenderBesideFfmpegFilterGraph)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(false);

} // namespace

BENCHMARK_MAIN();
