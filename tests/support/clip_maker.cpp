#include "clip_maker.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <sys/wait.h>

#include "started_tool.h"
#include "temp_dir.h"

namespace oskel::test {

namespace {

int runTool(const std::vector<std::string>& args)
{
    const pid_t child = startTool(args);
    if (child < 0) {
        return -1;
    }
    int status = 0;
    if (waitpid(child, &status, 0) < 0 || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

std::filesystem::path scratchFile(const std::string& ending)
{
    static std::atomic<int> counter { 0 };
    return clipFolder() / ("scratch-" + std::to_string(counter++) + ending);
}

} // namespace

bool ffmpegAvailable()
{
    static const bool available = runTool({ "ffmpeg", "-hide_banner", "-version" }) == 0;
    return available;
}

const std::filesystem::path& clipFolder()
{
    static const TempDir folder;
    return folder.path();
}

std::vector<std::string> testPicture(
    const std::string& size, const std::string& rate, const std::string& seconds)
{
    return { "-f", "lavfi", "-i",
        "testsrc2=size=" + size + ":rate=" + rate + ":duration=" + seconds };
}

std::vector<std::string> tone(int sampleRate, const std::string& seconds)
{
    return { "-f", "lavfi", "-i",
        "sine=frequency=440:sample_rate=" + std::to_string(sampleRate) + ":duration=" + seconds };
}

std::vector<std::string> joinArgs(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> args;
    for (const std::vector<std::string>& part : parts) {
        args.insert(args.end(), part.begin(), part.end());
    }
    return args;
}

bool runFfmpeg(const std::vector<std::string>& args)
{
    std::vector<std::string> command { "ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error",
        "-y" };
    command.insert(command.end(), args.begin(), args.end());
    return runTool(command) == 0;
}

std::filesystem::path makeClip(const std::string& name, const std::vector<std::string>& ffmpegArgs)
{
    const std::filesystem::path clip = clipFolder() / name;
    if (std::filesystem::exists(clip)) {
        return clip;
    }
    // Made under another name first, so that a failed run leaves no half-written clip.
    const std::filesystem::path partial = clipFolder() / ("partial-" + name);
    std::vector<std::string> args = ffmpegArgs;
    args.push_back(partial.string());
    if (!runFfmpeg(args)) {
        throw std::runtime_error("the ffmpeg tool could not make " + name);
    }
    std::filesystem::rename(partial, clip);
    return clip;
}

std::vector<std::uint8_t> decodeWithFfmpeg(
    const std::filesystem::path& clip, const std::string& filters)
{
    const std::filesystem::path raw = scratchFile(".bgr");
    std::vector<std::string> args { "-i", clip.string() };
    if (!filters.empty()) {
        args.insert(args.end(), { "-vf", filters });
    }
    args.insert(args.end(),
        { "-vsync", "passthrough", "-pix_fmt", "bgr24", "-f", "rawvideo", raw.string() });
    if (!runFfmpeg(args)) {
        throw std::runtime_error("the ffmpeg tool could not decode " + clip.string());
    }
    std::vector<std::uint8_t> bytes = readFileBytes(raw);
    std::filesystem::remove(raw);
    return bytes;
}

std::vector<std::uint8_t> decodeSoundWithFfmpeg(const std::filesystem::path& clip, int channels)
{
    const std::filesystem::path raw = scratchFile(".pcm");
    if (!runFfmpeg({ "-i", clip.string(), "-vn", "-ac", std::to_string(channels), "-f", "s16le",
            "-acodec", "pcm_s16le", raw.string() })) {
        throw std::runtime_error("the ffmpeg tool could not decode the sound of " + clip.string());
    }
    std::vector<std::uint8_t> bytes = readFileBytes(raw);
    std::filesystem::remove(raw);
    return bytes;
}

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(
        reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace oskel::test
