#include "sources/streaming_source.h"

namespace oskel {

StreamingMedia ffmpegStreamingMedia()
{
    const std::string anyContainer;
    return StreamingMedia {
        [anyContainer](const std::filesystem::path& path, FrameLimits limits, std::string& error) {
            return openVideoDecoder(path, anyContainer, error, limits);
        },
        [anyContainer](const std::filesystem::path& path, AudioStreamInfo& info,
            std::string& error) { return probeAudio(path, anyContainer, info, error); },
        [anyContainer](const std::filesystem::path& path, AudioStreamInfo& info,
            std::vector<std::uint8_t>& pcm, const std::function<bool()>& keepGoing,
            std::string& error) {
            return decodeAllAudio(path, anyContainer, info, pcm, keepGoing, error);
        },
    };
}

} // namespace oskel
