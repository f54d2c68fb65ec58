#pragma once

#include <cstddef>

#include "platform/spsc_ring.h"

namespace oskel {

struct StereoSample {
    float left = 0.0f;
    float right = 0.0f;
};

// The sound of a live source on its way to the mixer: interleaved stereo samples at the
// output rate, pushed by the source's decode thread and taken by the sound thread as a voice
// that carries the feed plays. Neither side waits: a full ring drops what is pushed, an empty
// one plays silence, and what lags more than `lag` behind is skipped so the sound stays live.
class LiveSoundFeed {
public:
    LiveSoundFeed(int rate, std::size_t capacity, std::size_t lag)
        : m_rate(rate)
        , m_lag(lag)
        , m_ring(capacity)
    {
    }

    int rate() const { return m_rate; }

    // Decode thread. False when the ring is full and the sample was dropped.
    bool push(StereoSample sample) noexcept { return m_ring.push(sample); }

    // Sound thread, real time: adds `frames` samples with the gains to the output.
    void mixInto(
        float* interleavedStereo, std::size_t frames, float leftGain, float rightGain) noexcept
    {
        StereoSample sample;
        while (m_ring.size() > frames + m_lag && m_ring.pop(sample)) { }
        for (std::size_t frame = 0; frame < frames && m_ring.pop(sample); ++frame) {
            interleavedStereo[2 * frame] += sample.left * leftGain;
            interleavedStereo[2 * frame + 1] += sample.right * rightGain;
        }
    }

    // Any thread: the samples waiting.
    std::size_t waiting() const noexcept { return m_ring.size(); }

private:
    const int m_rate;
    const std::size_t m_lag;
    SpscRing<StereoSample> m_ring;
};

} // namespace oskel
