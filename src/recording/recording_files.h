#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recording/performance_script.h"

namespace oskel {

// The files of one recording made from the windows: the performance, the set-up it started
// from, and the sound card's input when it is recorded too. Named after the moment the
// recording started, so that they sort by time and say what they hold: "performance
// 2026-12-11 06-14-22.txt" and ".okp", "sound input 2026-12-11 06-14-22.wav".
struct RecordingFiles {
    std::filesystem::path performance;
    std::filesystem::path soundInput;
    std::filesystem::path setUp;
};

// The names in `folder` for a recording started at `started` (local time); a name taken
// already gets " (2)", " (3)", ... before its extension.
RecordingFiles recordingFilesIn(const std::filesystem::path& folder, const std::tm& started);

// The last line of a saved recording: "# length <ms> ms".
std::string recordingLengthLine(std::int64_t ms);

// How long a performance file lasts: its length line, or, in a file without one, up to its
// last action and one second beyond it.
std::int64_t performanceLengthMs(std::string_view text, const std::vector<ScriptAction>& actions);

// The frames a render of that length takes: at least one.
std::int64_t framesFor(std::int64_t lengthMs, int framesPerSecond);

} // namespace oskel
