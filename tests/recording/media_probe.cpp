#include "media_probe.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>

namespace oskel::test {

namespace {

std::string quoted(const std::filesystem::path& file)
{
    std::string text = "'";
    for (const char c : file.string()) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

std::string run(const std::string& command)
{
    struct Close {
        void operator()(FILE* pipe) const { pclose(pipe); }
    };
    std::unique_ptr<FILE, Close> pipe(popen(command.c_str(), "r"));
    std::string output;
    if (!pipe) {
        return output;
    }
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) {
        output.append(buffer, count);
    }
    return output;
}

} // namespace

std::map<std::string, std::string> probeStream(
    const std::filesystem::path& file, const std::string& stream)
{
    const std::string what
        = stream == "format" ? "-show_format" : "-show_streams -select_streams " + stream;
    std::istringstream lines(run("ffprobe -v error -count_frames " + what
        + " -of default=noprint_wrappers=1 " + quoted(file) + " 2>/dev/null"));
    std::map<std::string, std::string> entries;
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) {
            entries.emplace(line.substr(0, equals), line.substr(equals + 1));
        }
    }
    return entries;
}

::testing::AssertionResult holdsAvi(const std::filesystem::path& file, const ExpectedAvi& expected)
{
    auto video = probeStream(file, "v:0");
    auto audio = probeStream(file, "a:0");
    const std::string duration = probeStream(file, "format")["duration"];
    const std::vector<std::pair<std::string, std::string>> found {
        { video["codec_name"], expected.codec },
        { video["width"], std::to_string(expected.width) },
        { video["height"], std::to_string(expected.height) },
        { video["r_frame_rate"], expected.frameRate },
        { video["nb_read_frames"], std::to_string(expected.frames) },
        { audio["codec_name"], "pcm_s16le" },
        { audio["sample_rate"], "44100" },
        { audio["channels"], "2" },
    };
    for (const auto& [actual, wanted] : found) {
        if (actual != wanted) {
            return ::testing::AssertionFailure()
                << file << ": \"" << actual << "\" where \"" << wanted << "\" was expected";
        }
    }
    if (duration.empty() || std::abs(std::stod(duration) - expected.seconds) > 0.001) {
        return ::testing::AssertionFailure()
            << file << " lasts " << duration << " s, not " << expected.seconds;
    }
    return ::testing::AssertionSuccess();
}

std::vector<bool> probeKeyFrames(const std::filesystem::path& file)
{
    std::istringstream lines(
        run("ffprobe -v error -select_streams v:0 -show_entries frame=key_frame "
            "-of csv=p=0 "
            + quoted(file) + " 2>/dev/null"));
    std::vector<bool> keys;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) {
            keys.push_back(line.front() == '1');
        }
    }
    return keys;
}

} // namespace oskel::test

namespace oskel::test {

double soundLevel(const std::filesystem::path& file)
{
    const std::string samples = run("ffmpeg -nostdin -v error -i " + quoted(file)
        + " -map 0:a:0 -f s16le -acodec pcm_s16le - 2>/dev/null");
    const std::size_t count = samples.size() / 2;
    if (count == 0) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        std::int16_t sample = 0;
        std::memcpy(&sample, samples.data() + 2 * i, 2);
        sum += double(sample) * sample;
    }
    return std::sqrt(sum / double(count)) / 32768.0;
}

} // namespace oskel::test
