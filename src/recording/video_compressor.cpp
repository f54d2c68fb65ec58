#include "recording/video_compressor.h"

#include <algorithm>
#include <array>

#include "core/ascii.h"

namespace oskel {

namespace {

constexpr std::array kCompressors {
    VideoCompressor {
        VideoCompression::Uncompressed, kUncompressedVideo, false, false, false, false },
    VideoCompressor { VideoCompression::Mjpeg, "MJPEG", true, false, false, true },
    VideoCompressor { VideoCompression::Mpeg4, "MPEG-4", true, true, true, true },
};

} // namespace

std::span<const VideoCompressor> videoCompressors()
{
    return kCompressors;
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
