#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/frame_size.h"

namespace oskel {

// The video compressors a render can write with, and the settings each one takes.
enum class VideoCompression {
    Uncompressed,
    Mjpeg,
    Mpeg4,
    Ffv1,
    HuffYuv,
    UtVideo,
    H264,
    ProRes,
    Hap
};

struct VideoCompressor {
    VideoCompression kind;
    std::string_view friendlyName;
    bool takesQuality;
    bool takesKeyFrames;
    bool takesDataRate;
    // The width and height must be multiples of this: 2 where colour is sampled in blocks,
    // 4 for texture compression.
    int sizeMultiple;
};

inline constexpr std::string_view kUncompressedVideo = "Uncompressed Video";

std::span<const VideoCompressor> videoCompressors();
const VideoCompressor& videoCompressor(VideoCompression kind);
// By friendly name, ignoring letter case; null when there is none of that name.
const VideoCompressor* findVideoCompressor(std::string_view friendlyName);
// The friendly names, separated by commas, for messages.
std::string videoCompressorNames();

// What a picture stream is written with.
struct VideoEncoding {
    VideoCompression compression = VideoCompression::Uncompressed;
    int width = 384;
    int height = 288;
    // The composed pictures handed in, scaled to width x height when they differ.
    FrameSize picture { kAreaWidth, kAreaHeight };
    int framesPerSecond = 25;
    int quality = 100; // 0..100
    int keyFrame = 1; // a key frame every n frames
    int dataRateKBps = 0; // 0: no limit
    std::string options; // the compressor's own settings, "crf=18:preset=fast"
};

} // namespace oskel
