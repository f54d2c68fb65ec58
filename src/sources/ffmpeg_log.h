#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace oskel {

// How much of FFmpeg's own log (a damaged frame, a deprecated pixel format) the performer
// sees. The environment variable OSKEL_FFMPEG_LOG chooses it; errors only by default.
enum class FfmpegLogLevel { Quiet, Error, Warning, Info };

inline constexpr const char* kFfmpegLogVariable = "OSKEL_FFMPEG_LOG";
inline constexpr FfmpegLogLevel kDefaultFfmpegLogLevel = FfmpegLogLevel::Error;

// "quiet", "error", "warning" or "info", in any letter case; nothing for another word.
std::optional<FfmpegLogLevel> ffmpegLogLevelNamed(std::string_view name);

// Whether a line that FFmpeg logs at its own level (AV_LOG_ERROR, ...) is shown at `chosen`.
bool ffmpegLineShown(int ffmpegLevel, FfmpegLogLevel chosen);

// One line of FFmpeg's log as it is printed, without a line break: "oskel3: FFmpeg: ..."
// with its control characters escaped, and cut when it is very long.
std::string ffmpegLogLine(std::string_view text);

// Takes one whole printed line. Called on whatever thread FFmpeg logs from (decode threads
// among them), so it must be safe to call from several at once.
using FfmpegLineSink = void (*)(std::string_view line);

// Writes the line and a line break to standard error in one write.
void writeLineToStandardError(std::string_view line);

// From now on FFmpeg's log goes through ours: the lines at `level` or more severe to `sink`,
// nothing to FFmpeg's own printer. May be called again to change either.
void routeFfmpegLog(FfmpegLogLevel level, FfmpegLineSink sink = writeLineToStandardError);

// Routes the log with nothing shown, unless it has been routed already: done before any
// clip is opened, so that FFmpeg never prints on its own.
void routeFfmpegLogByDefault();

} // namespace oskel
