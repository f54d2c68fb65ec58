#include "recording/video_compressor.h"

#include <algorithm>
#include <array>

#include "core/ascii.h"

namespace oskel {

namespace {

// clang-format off
constexpr std::array kCompressors {
    VideoCompressor { VideoCompression::Uncompressed, kUncompressedVideo, false, false, false, 1 },
    VideoCompressor { VideoCompression::Mjpeg, "MJPEG", true, false, false, 2 },
    VideoCompressor { VideoCompression::Mpeg4, "MPEG-4", true, true, true, 2 },
    VideoCompressor { VideoCompression::Ffv1, "FFV1", false, false, false, 1 },
    VideoCompressor { VideoCompression::HuffYuv, "HuffYUV", false, false, false, 2 },
    VideoCompressor { VideoCompression::UtVideo, "Ut Video", false, false, false, 2 },
    VideoCompressor { VideoCompression::H264, "H.264", true, true, true, 2 },
    VideoCompressor { VideoCompression::ProRes, "ProRes", false, false, false, 2 },
    VideoCompressor { VideoCompression::Hap, "HAP", false, false, false, 4 },
};
// clang-format on

} // namespace

std::span<const VideoCompressor> videoCompressors()
{
    return kCompressors;
}

const VideoCompressor& videoCompressor(VideoCompression kind)
{
    return *std::ranges::find(kCompressors, kind, &VideoCompressor::kind);
}

const VideoCompressor* findVideoCompressor(std::string_view friendlyName)
{
    const auto found = std::ranges::find_if(kCompressors,
        [&](const VideoCompressor& c) { return sameWithoutCase(c.friendlyName, friendlyName); });
    return found == kCompressors.end() ? nullptr : &*found;
}

std::string videoCompressorNames()
{
    std::string names;
    for (const VideoCompressor& compressor : kCompressors) {
        names += (names.empty() ? "\"" : ", \"") + std::string(compressor.friendlyName) + "\"";
    }
    return names;
}

} // namespace oskel
