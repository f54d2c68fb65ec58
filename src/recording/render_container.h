#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "recording/video_compressor.h"

namespace oskel {

// The video files a render writes, chosen by the output's extension: AVI, QuickTime, MP4 and
// Matroska. The sound is what each one's players expect: 16-bit PCM, or AAC in MP4.
struct RenderContainer {
    std::string_view extension; // ".avi"
    const char* muxer; // FFmpeg's name for it
    bool aacSound;
    // Whether it holds uncompressed blue-green-red pictures (Matroska's muxer refuses them).
    bool takesUncompressed;
    // The compressor a render into it takes when none was chosen and the usual one cannot go
    // into it.
    VideoCompression fallback;
};

// Null when the output is not one of these files (a folder of pictures is written then).
const RenderContainer* renderContainerFor(const std::filesystem::path& output);

// Why the compressor's pictures cannot go into the container; empty when they can.
std::string compressorProblem(const RenderContainer& container, VideoCompression compression);

} // namespace oskel
