// Opens arbitrary bytes as a clip, first as an AVI file as the AVI source does, then as any
// container as the streaming source does; fetches a few frames in an awkward order and decodes
// the sound with a small budget. Whatever opens must deliver what it announced.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "sources/decoded_media.h"

namespace {

// Packets of sound decoded at most: enough for every seed, short for a huge claimed length.
constexpr int kSoundPacketBudget = 2000;

void checkFrame(
    const oskel::DecodedFrame* frame, const oskel::VideoStreamInfo& info, std::int64_t index)
{
    if (frame == nullptr) {
        return;
    }
    if (frame->index != index || frame->width != info.width || frame->height != info.height
        || frame->pixels.size() != std::size_t(info.width) * std::size_t(info.height) * 3) {
        std::abort();
    }
}

void fetchFrames(oskel::VideoDecoder& decoder, std::uint64_t seed)
{
    const oskel::VideoStreamInfo& info = decoder.info();
    if (info.width <= 0 || info.width > 384 || info.height <= 0 || info.height > 288
        || info.frameCount < 1) {
        std::abort();
    }
    const std::int64_t last = info.frameCount - 1;
    const std::int64_t indices[]
        = { 0, last, 1, std::int64_t(seed % std::uint64_t(info.frameCount)), last / 2, 0 };
    for (const std::int64_t index : indices) {
        if (index <= last) {
            checkFrame(decoder.frameAt(index), info, index);
        }
    }
    if (decoder.seek(0.0)) {
        for (int i = 0; i < 3; ++i) {
            if (decoder.nextFrame() == nullptr) {
                break;
            }
        }
    }
}

void decodeSound(const oskel::MediaInput& input, const std::string& container)
{
    oskel::AudioStreamInfo info;
    std::string error;
    if (!oskel::probeAudio(input, container, info, error)) {
        return;
    }
    std::vector<std::uint8_t> pcm;
    int packets = 0;
    if (oskel::decodeAllAudio(
            input, container, info, pcm, [&packets] { return ++packets <= kSoundPacketBudget; },
            error)) {
        if (info.channels < 1 || info.channels > 2 || info.sampleRate <= 0
            || pcm.size() % std::size_t(2 * info.channels) != 0) {
            std::abort();
        }
    }
}

void tryContainer(const oskel::MediaInput& input, const std::string& container, std::uint64_t seed)
{
    oskel::MediaOpenError reason = oskel::MediaOpenError::None;
    std::string error;
    if (auto decoder = oskel::openVideoDecoder(input, container, reason, error)) {
        fetchFrames(*decoder, seed);
    } else if (error.empty() || reason == oskel::MediaOpenError::None) {
        std::abort();
    }
    decodeSound(input, container);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const oskel::MediaInput input { {}, std::span<const std::uint8_t>(data, size) };
    std::uint64_t seed = 1469598103934665603ULL;
    for (std::size_t i = 0; i < size && i < 64; ++i) {
        seed = (seed ^ data[i]) * 1099511628211ULL;
    }
    tryContainer(input, "avi", seed);
    tryContainer(input, "", seed);
    return 0;
}
