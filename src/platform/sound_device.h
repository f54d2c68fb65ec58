#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/sound_buffer.h"

namespace oskel {

// Hears every block of the mix as it is made, beside the sound card.
class MixListener {
public:
    virtual ~MixListener() = default;
    // The thread that mixes (the sound card's, real time): interleaved stereo float samples in
    // -1..1 at the device's output rate, valid only during the call. Must not wait, allocate
    // or throw.
    virtual void mixed(std::span<const float> interleavedStereo) noexcept = 0;
};

// The sound output: makes sound buffers and mixes every playing one into the output.
// Buffers may be made and dropped on any thread while the output runs.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;

    // What the status line can say about the output ("ALSA: default, 48000 Hz", "no sound
    // card: silent output").
    virtual std::string description() const = 0;
    virtual int outputRate() const = 0;

    // Throws SoundError("Could not create secondary sound buffer") for an unsupported format
    // or a length that is not a positive whole number of sample frames.
    virtual std::shared_ptr<SoundBuffer> createBuffer(
        const WaveFormat& format, std::int64_t lengthBytes)
        = 0;

    // The master volume: level 0..255, a final linear gain on the mix.
    virtual void setMasterVolume(int level) = 0;
    virtual int masterVolume() const = 0;

    // Any thread: the listener that hears the mix from now on; null: none. When this returns,
    // the listener set before is no longer called and may be dropped.
    virtual void setMixListener(MixListener* listener) = 0;

    // The output runs (play cursors advance) only between start and stop.
    virtual void start() = 0;
    virtual void stop() = 0;
};

// Receives the mixed output, interleaved stereo float samples in -1..1, on the thread that
// advances the clock.
using MixedSoundSink = std::function<void(std::span<const float> interleavedStereo)>;

} // namespace oskel
