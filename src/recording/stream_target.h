#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "recording/video_compressor.h"

namespace oskel {

// Where the output can be streamed, chosen by the address: MPEG-TS over "udp://" or "srt://",
// FLV over "rtmp://" or "rtmps://" (a streaming server). Any other address is refused: a
// stream address comes from a settings file or a command line, and FFmpeg would take "file:"
// or "pipe:" as readily.
struct StreamTarget {
    std::string url;
    const char* muxer = nullptr; // FFmpeg's name for the container
    std::string shownName; // "udp://10.0.0.2:5000": for messages, without a stream key
    VideoEncoding encoding; // H.264 tuned for latency where this FFmpeg has it
};

struct StreamTargetChoice {
    std::optional<StreamTarget> target;
    std::string problem; // in the performer's words, when there is no target
};

StreamTargetChoice chooseStreamTarget(std::string_view url, int framesPerSecond);

} // namespace oskel
