#include "sources/ffmpeg_log.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <mutex>

#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include "core/ascii.h"
#include "core/shown_text.h"

namespace oskel {

namespace {

constexpr std::size_t kMostLineBytes = 1000;
constexpr std::size_t kFormattedBytes = 1024;

// FFmpeg keeps one log callback for the whole process, so what it reads is the process's
// too: the level chosen and where the lines go. Both are read on every call, from any
// thread, without a lock.
std::atomic<FfmpegLogLevel> g_chosen { FfmpegLogLevel::Quiet };
std::atomic<FfmpegLineSink> g_sink { writeLineToStandardError };
std::mutex g_routing; // held while the routing changes
bool g_routed = false; // under g_routing

int ffmpegLevelOf(FfmpegLogLevel level)
{
    switch (level) {
    case FfmpegLogLevel::Quiet:
        return AV_LOG_QUIET;
    case FfmpegLogLevel::Error:
        return AV_LOG_ERROR;
    case FfmpegLogLevel::Warning:
        return AV_LOG_WARNING;
    case FfmpegLogLevel::Info:
        return AV_LOG_INFO;
    }
    return AV_LOG_ERROR;
}

// FFmpeg's callback. A line may come in pieces over several calls; each thread gathers its
// own until the line break.
void forwardLog(void* object, int level, const char* format, va_list arguments)
{
    if (!ffmpegLineShown(level, g_chosen.load(std::memory_order_relaxed))) {
        return;
    }
    thread_local int printPrefix = 1;
    thread_local std::string pending;
    char text[kFormattedBytes];
    va_list copy;
    va_copy(copy, arguments);
    av_log_format_line2(object, level, format, copy, text, sizeof text, &printPrefix);
    va_end(copy);
    pending += text;
    const FfmpegLineSink sink = g_sink.load(std::memory_order_relaxed);
    for (std::size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
        if (end > 0) {
            sink(ffmpegLogLine(std::string_view(pending).substr(0, end)));
        }
        pending.erase(0, end + 1);
    }
    if (pending.size() > kMostLineBytes) {
        sink(ffmpegLogLine(pending));
        pending.clear();
    }
}

void route(FfmpegLogLevel level, FfmpegLineSink sink)
{
    g_sink.store(sink);
    g_chosen.store(level);
    av_log_set_level(ffmpegLevelOf(level));
    av_log_set_callback(forwardLog);
    g_routed = true;
}

} // namespace

std::optional<FfmpegLogLevel> ffmpegLogLevelNamed(std::string_view name)
{
    for (const auto& [word, level] : { std::pair { "quiet", FfmpegLogLevel::Quiet },
             std::pair { "error", FfmpegLogLevel::Error },
             std::pair { "warning", FfmpegLogLevel::Warning },
             std::pair { "info", FfmpegLogLevel::Info } }) {
        if (sameWithoutCase(name, word)) {
            return level;
        }
    }
    return std::nullopt;
}

bool ffmpegLineShown(int ffmpegLevel, FfmpegLogLevel chosen)
{
    // The colour FFmpeg may ask for sits above the level's byte.
    return (ffmpegLevel & 0xff) <= ffmpegLevelOf(chosen);
}

std::string ffmpegLogLine(std::string_view text)
{
    return "oskel3: FFmpeg: " + shownText(text, kMostLineBytes);
}

void writeLineToStandardError(std::string_view line)
{
    std::string whole(line);
    whole += '\n';
    std::string_view rest = whole;
    while (!rest.empty()) {
        const ssize_t written = ::write(STDERR_FILENO, rest.data(), rest.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
}

void routeFfmpegLog(FfmpegLogLevel level, FfmpegLineSink sink)
{
    std::lock_guard lock(g_routing);
    route(level, sink);
}

void routeFfmpegLogByDefault()
{
    std::lock_guard lock(g_routing);
    if (!g_routed) {
        route(FfmpegLogLevel::Quiet, writeLineToStandardError);
    }
}

} // namespace oskel
