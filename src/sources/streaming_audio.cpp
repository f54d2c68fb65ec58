#include "sources/streaming_audio.h"

#include <algorithm>
#include <exception>
#include <string>
#include <utility>

#include "sources/source_info.h"

namespace oskel {

int readWholeSound(const WholeSoundDecoder& decode, const std::filesystem::path& path,
    AudioStreamInfo& info, const WholeSoundLimits& limits, std::vector<std::uint8_t>& sound)
{
    const auto deadline = std::chrono::steady_clock::now() + limits.timeLimit;
    const std::int64_t block = limits.blockAlign > 0 ? limits.blockAlign : 1;
    const auto capacity = static_cast<std::size_t>(
        std::max<std::int64_t>(0, limits.capacity - limits.capacity % block));
    std::vector<std::uint8_t> pcm;
    bool timedOut = false;
    // The decoder appends to `pcm` between these calls: what lies beyond the capacity is
    // dropped as it comes, so the buffer never holds more than the capacity and one packet.
    // A stop would discard everything, so a full buffer lets the decoding run on.
    const auto keepGoing = [&] {
        if (pcm.size() > capacity) {
            pcm.resize(capacity);
        }
        timedOut = std::chrono::steady_clock::now() >= deadline;
        return !timedOut;
    };
    std::string error;
    bool decoded = false;
    try {
        decoded = decode(path, info, pcm, keepGoing, error);
    } catch (const std::exception&) {
        decoded = false;
    }
    if (timedOut || !decoded) {
        return kSourceFailed;
    }
    if (pcm.size() > capacity) {
        pcm.resize(capacity);
    }
    sound = std::move(pcm);
    return kSourceOk;
}

} // namespace oskel
