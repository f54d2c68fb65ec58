#pragma once

#include <atomic>
#include <cstdint>

#include "platform/live_sound_feed.h"
#include "platform/sound_buffer.h"

namespace oskel {

// Where a voice is and whether it plays. Packed into one atomic word so that a play, stop or
// move on one thread and the mixer's advance on the sound thread each replace it whole.
// The position is a whole frame plus a fraction of a frame counted in units of 1/outputRate,
// so a voice advancing by its frequency per output frame never drifts.
struct VoiceState {
    static constexpr int kFractionBits = 20;
    static constexpr int kFrameBits = 40;
    static constexpr std::uint32_t kFractionLimit = std::uint32_t(1) << kFractionBits;
    static constexpr std::int64_t kFrameLimit = std::int64_t(1) << kFrameBits;

    std::int64_t frame = 0; // 0 .. kFrameLimit - 1
    std::uint32_t fraction = 0; // 0 .. kFractionLimit - 1
    bool playing = false;
    bool looping = false;
    bool locked = false;

    std::uint64_t pack() const
    {
        return std::uint64_t(frame) << (64 - kFrameBits) | std::uint64_t(locked) << 22
            | std::uint64_t(looping) << 21 | std::uint64_t(playing) << 20 | fraction;
    }
    static VoiceState unpack(std::uint64_t bits)
    {
        return VoiceState { std::int64_t(bits >> (64 - kFrameBits)),
            std::uint32_t(bits & (kFractionLimit - 1)), ((bits >> 20) & 1) != 0,
            ((bits >> 21) & 1) != 0, ((bits >> 22) & 1) != 0 };
    }
    bool samePosition(const VoiceState& other) const
    {
        return frame == other.frame && fraction == other.fraction;
    }
};

// What the mixer reads of one sound buffer. The format, bytes and length stay fixed while the
// voice is registered with a mixer; the atomics are written by other threads at any time.
struct SoundVoice {
    WaveFormat format;
    const std::uint8_t* bytes = nullptr;
    std::int64_t lengthFrames = 0;
    std::atomic<std::uint64_t> state { 0 };
    std::atomic<int> frequency { 44100 };
    std::atomic<int> volume { 0 };
    std::atomic<int> pan { 0 };
    // A live source's sound, mixed in while the voice plays; its owner keeps it alive while
    // the voice is registered.
    std::atomic<LiveSoundFeed*> feed { nullptr };
};

} // namespace oskel
