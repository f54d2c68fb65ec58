#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/mixing_sound_device.h"
#include "platform/output_frame_counter.h"

namespace oskel {

// A sound device without a thread or hardware whose clock moves only when its owner says:
// each advance mixes exactly that much output and hands it to the sink, so play cursors move
// exactly as the caller decides. For tests and offline rendering.
class ManualClockSoundDevice final : public MixingSoundDevice {
public:
    static constexpr int kDefaultRate = 48000;
    // The largest block handed to the sink at once.
    static constexpr std::int64_t kChunkFrames = 1024;

    explicit ManualClockSoundDevice(int outputRate = kDefaultRate, MixedSoundSink sink = {});

    std::string description() const override;
    // Any thread. Advances mix nothing while the device is stopped.
    void start() override;
    void stop() override;

    // The clock owner's thread: mixes outputRate x milliseconds / 1000 frames, carrying the
    // part of a frame left over to the next call. The sink is called on this thread with
    // blocks of at most kChunkFrames frames, valid only during the call.
    void advance(std::int64_t milliseconds);
    void advanceFrames(std::int64_t frames);
    // Frames mixed since the device was made.
    std::int64_t framesMixed() const { return m_framesMixed; }

private:
    MixedSoundSink m_sink;
    OutputFrameCounter m_counter;
    std::vector<float> m_chunk;
    std::atomic<bool> m_running { false };
    std::int64_t m_framesMixed = 0;
};

} // namespace oskel
