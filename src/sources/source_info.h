#pragma once

#include <cstdint>
#include <string>

#include "core/frame_size.h"

namespace oskel {

enum class SourceKind : std::uint8_t {
    Picture = 0,
    Sound = 1,
    Still = 2, // a picture without a frame rate
    PictureAndSound = 3,
    Nothing = 4, // nothing usable, or the file is missing
};

// Which media system reads the clip: the AVI source (files ending in ".avi") or the
// streaming source (everything else, and AVI files the AVI source cannot open); a camera or
// a network stream is read by the live source.
enum class SourceSystemKind : std::uint8_t { ssVFW = 0, ssDS = 1, ssLive = 2 };

// The sound's format as a Windows wave format describes it.
struct TWaveFormatEx {
    std::uint16_t formatTag = 1; // 1: PCM
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

// The delivered frame as a Windows bitmap info header describes it.
struct TBitmapInfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0; // positive: rows bottom-up
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0; // bytes of pixel data: 3 x width x height, rows packed
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t colorsUsed = 0;
    std::uint32_t colorsImportant = 0;
};

struct TVideoInfo {
    std::string compression; // the four characters of the compression code
};

// The per-slot state of a source.
struct TSourceInfo {
    bool ready = false;
    std::int32_t width = 0; // delivered frame size
    std::int32_t height = 0;
    SourceKind kind = SourceKind::Nothing;
    SourceSystemKind system = SourceSystemKind::ssVFW;
    TVideoInfo videoInfo;
    double frameDuration = 0.0;
    double frameRate = 0.0;
    double exactFrameRate = 0.0; // the picture's own rate; frameRate is rounded for AVI files
    std::int64_t frameCount = 0; // the frames the file really holds
    std::int64_t claimedFrameCount = 0; // what its header says, if anything: more when damaged
    double duration = 0.0;
    double seekLimit = 0.0;
    std::int32_t audioBlock = 0;
    std::int32_t audioRate = 0;
    std::int64_t audioLength = 0;
    std::int32_t sampleRate = 0;
    TWaveFormatEx waveFormat;
    TBitmapInfoHeader frameHeader;
    bool initialised = false;
    bool audioRead = false;
    bool closing = false;
    std::int32_t outputDepth = 24;
    std::int32_t requestedDepth = 24;
    bool hasAudio = false;
    bool hasVideo = false;
    std::int32_t clipWidth = 0;
    std::int32_t clipHeight = 0;
    FrameLimits frameLimits; // how large the frames are delivered
    // Why the last open failed, in the performer's words (FFmpeg's own where it gave them);
    // empty when it did not fail or no reason is known.
    std::string openProblem;
};

// Result codes of the source calls.
inline constexpr int kSourceOk = 0;
inline constexpr int kSourceFailed = 999;
inline constexpr int kFirstFrameFailure = 901; // frame results from here up are failures

} // namespace oskel
