#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "recording/video_compressor.h"

namespace oskel {

// Where a render's pictures and sound go. Nothing claims to be complete before finish():
// an output dropped unfinished removes what it wrote. Every failure is an OutputError.
class RenderOutput {
public:
    static constexpr int kSoundRate = 44100;
    static constexpr int kSoundChannels = 2;

    virtual ~RenderOutput() = default;

    // The composed picture: 384 x 288 pixels (or the encoding's picture size) of blue-green-red
    // bytes, top row first.
    virtual void writeFrame(const std::uint8_t* bgr) = 0;
    // The next sound: 16-bit stereo sample frames at 44100 Hz, interleaved.
    virtual void writeSound(std::span<const std::int16_t> samples) = 0;
    virtual void finish() = 0;
};

// A video file (".avi", ".mov", ".mp4", ".mkv", in any letter case) with the pictures,
// compressed as `encoding` says, and the sound; or, for any other name, a folder receiving
// frame-000000.png, frame-000001.png, ... (at the encoding's size) and sound.wav. The folder
// is made when its parent exists. A video file named by a symbolic link is written through
// it: the link's target is replaced, the link kept. Throws
// OutputError when the output cannot be started (a missing or unwritable folder, settings
// the compressor refuses).
std::unique_ptr<RenderOutput> openRenderOutput(
    const std::filesystem::path& output, const VideoEncoding& encoding);

} // namespace oskel
