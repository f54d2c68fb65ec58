#pragma once

#include <cstdint>
#include <span>

#include "platform/sound_buffer.h"

namespace oskel {

// One voice's part in a block of output: what it reads, at which rate against the output,
// looping or not, at which gains (the sample scale is applied by the renderer).
struct VoiceRender {
    const std::uint8_t* bytes = nullptr;
    WaveFormat format;
    std::int64_t lengthFrames = 0;
    std::uint32_t frequency = 0;
    std::uint32_t outputRate = 0;
    bool looping = false;
    float leftGain = 1.0f;
    float rightGain = 1.0f;
};

// A play position: a whole frame and a fraction of a frame in units of 1/outputRate.
struct VoicePosition {
    std::int64_t frame = 0;
    std::uint32_t fraction = 0;
    bool ended = false; // a voice that does not loop ran off its end (frame == lengthFrames)
};

// Adds the voice to interleaved stereo output from a position and returns the position after
// it: the position moves by exactly frequency / outputRate frames per output frame.
// A looping voice wraps to its start; one that does not loop ends at its end, with the frame
// at lengthFrames. Called on the sound thread, real time: no allocation, no locks.
VoicePosition renderVoice(
    const VoiceRender& voice, VoicePosition start, std::span<float> interleavedStereo) noexcept;

} // namespace oskel
