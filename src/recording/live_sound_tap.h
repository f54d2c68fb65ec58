#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/sound_device.h"
#include "recording/stream_output.h"

namespace oskel {

// Hands the live mix, as the sound card's thread makes it, to a stream as 16-bit sample
// frames: converted in a block made in advance, so the sound thread never waits or
// allocates (what the stream has no room for is dropped by it).
class LiveSoundTap final : public MixListener {
public:
    // The most sample frames converted at once; larger blocks go over in pieces.
    static constexpr std::size_t kBlockFrames = 1024;

    explicit LiveSoundTap(StreamOutput& stream)
        : m_stream(stream)
    {
    }

    void mixed(std::span<const float> interleavedStereo) noexcept override;

private:
    StreamOutput& m_stream;
    std::array<std::int16_t, kBlockFrames * 2> m_block {};
};

} // namespace oskel
