#include "recording/render_container.h"

#include <array>

#include "core/ascii.h"
#include "recording/ffmpeg_writer.h"

namespace oskel {

namespace {

constexpr std::array kContainers {
    RenderContainer { ".avi", "avi", false, true, VideoCompression::Uncompressed },
    RenderContainer { ".mov", "mov", false, true, VideoCompression::H264 },
    RenderContainer { ".mp4", "mp4", true, false, VideoCompression::H264 },
    RenderContainer { ".mkv", "matroska", false, false, VideoCompression::H264 },
};

} // namespace

const RenderContainer* renderContainerFor(const std::filesystem::path& output)
{
    const std::string extension = output.extension().string();
    for (const RenderContainer& container : kContainers) {
        if (sameWithoutCase(extension, container.extension)) {
            return &container;
        }
    }
    return nullptr;
}

namespace {

bool takes(const RenderContainer& container, VideoCompression compression)
{
    return (compression != VideoCompression::Uncompressed || container.takesUncompressed)
        && ffmpeg::muxerTakes(container.muxer, compression);
}

} // namespace

std::string compressorProblem(const RenderContainer& container, VideoCompression compression)
{
    if (takes(container, compression)) {
        return {};
    }
    std::string fitting;
    for (const VideoCompressor& compressor : videoCompressors()) {
        if (takes(container, compressor.kind)) {
            fitting += (fitting.empty() ? "" : ", ") + std::string(compressor.friendlyName);
        }
    }
    return "The video compressor " + std::string(videoCompressor(compression).friendlyName)
        + " cannot be written into a " + std::string(container.extension)
        + " file; these can: " + fitting;
}

} // namespace oskel
