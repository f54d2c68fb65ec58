#include "recording/recording_files.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <system_error>

namespace oskel {

namespace {

constexpr std::string_view kLengthStart = "# length ";
constexpr std::int64_t kTailMs = 1000;

std::string stamp(const std::tm& time)
{
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d-%02d-%02d", time.tm_year + 1900,
        time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
    return text;
}

bool taken(const std::filesystem::path& file)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(file, error));
}

} // namespace

RecordingFiles recordingFilesIn(const std::filesystem::path& folder, const std::tm& started)
{
    const std::string base = stamp(started);
    for (int copy = 1;; ++copy) {
        const std::string suffix = copy == 1 ? "" : " (" + std::to_string(copy) + ")";
        RecordingFiles files { folder / ("performance " + base + suffix + ".txt"),
            folder / ("sound input " + base + suffix + ".wav"),
            folder / ("performance " + base + suffix + ".okp") };
        if (!taken(files.performance) && !taken(files.soundInput) && !taken(files.setUp)) {
            return files;
        }
    }
}

std::string recordingLengthLine(std::int64_t ms)
{
    return std::string(kLengthStart) + std::to_string(ms) + " ms";
}

std::int64_t performanceLengthMs(std::string_view text, const std::vector<ScriptAction>& actions)
{
    const std::size_t at = text.rfind(kLengthStart);
    if (at != std::string_view::npos && (at == 0 || text[at - 1] == '\n' || text[at - 1] == '\r')) {
        const std::string_view number = text.substr(at + kLengthStart.size());
        std::int64_t ms = 0;
        const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), ms);
        if (error == std::errc() && ms >= 0 && ms <= kLatestScriptTimeMs
            && std::string_view(end, number.data() + number.size()).starts_with(" ms")) {
            return ms;
        }
    }
    std::int64_t last = 0;
    for (const ScriptAction& action : actions) {
        last = std::max(last, action.timeMs);
    }
    return last + kTailMs;
}

std::int64_t framesFor(std::int64_t lengthMs, int framesPerSecond)
{
    const std::int64_t frames = lengthMs * framesPerSecond / 1000;
    return std::max<std::int64_t>(frames, 1);
}

} // namespace oskel
