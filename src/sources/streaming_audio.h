#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "sources/decoded_media.h"

namespace oskel {

// Decodes a clip's whole sound to PCM: the signature of decodeAllAudio with the container
// fixed by the caller.
using WholeSoundDecoder = std::function<bool(const std::filesystem::path& path,
    AudioStreamInfo& info, std::vector<std::uint8_t>& pcm, const std::function<bool()>& keepGoing,
    std::string& error)>;

struct WholeSoundLimits {
    // Bytes the sound may take: the length its header promised and 4000 more; anything
    // beyond is dropped as it is decoded, so a sound longer than promised cannot grow
    // without bound.
    std::int64_t capacity = 0;
    int blockAlign = 1;
    // Wall time the decoding may take.
    std::chrono::milliseconds timeLimit { 50 * 250 };
};

// Reads the whole sound of `path` as fast as the decoder goes, on the calling thread.
// 0 with the PCM in `sound`; 999 when the sound cannot be decoded or takes too long.
int readWholeSound(const WholeSoundDecoder& decode, const std::filesystem::path& path,
    AudioStreamInfo& info, const WholeSoundLimits& limits, std::vector<std::uint8_t>& sound);

} // namespace oskel
