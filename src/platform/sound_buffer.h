#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

namespace oskel {

class LiveSoundFeed;

// A failure of the sound layer, carrying the message the performer is shown.
class SoundError : public std::runtime_error {
public:
    explicit SoundError(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

// The PCM format of a sound buffer: 8-bit unsigned or 16-bit signed little-endian samples,
// one or two interleaved channels, any sample rate.
struct WaveFormat {
    std::uint16_t channels = 1;
    std::uint32_t samplesPerSecond = 44100;
    std::uint16_t bitsPerSample = 16;

    std::uint16_t blockAlign() const
    {
        return static_cast<std::uint16_t>(channels * (bitsPerSample / 8));
    }
    std::uint32_t bytesPerSecond() const { return samplesPerSecond * blockAlign(); }
    bool isSupported() const
    {
        return (channels == 1 || channels == 2) && (bitsPerSample == 8 || bitsPerSample == 16)
            && samplesPerSecond >= 100 && samplesPerSecond <= 200000;
    }
    bool operator==(const WaveFormat&) const = default;
};

// One static sound buffer of a slot: PCM that plays once or looping from a settable position.
// Positions and lengths are byte offsets aligned to whole sample frames. Volume is in
// hundredths of a decibel (-10000 silent .. 0 full), pan from -10000 (left) to 10000 (right),
// frequency the playback rate in Hz (100..200000). Failures throw SoundError.
// Called from the main thread, the audio command thread and the frame thread (status and
// cursor); never from the sound callback, which reads the buffer through the mixer.
class SoundBuffer {
public:
    virtual ~SoundBuffer() = default;

    virtual const WaveFormat& format() const = 0;
    virtual std::int64_t length() const = 0;

    // The buffer's bytes, to fill before it first plays. Only while it is stopped.
    virtual std::span<std::uint8_t> lock() = 0;
    virtual void unlock() = 0;

    virtual void play(bool looping) = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    virtual std::int64_t playCursor() const = 0;
    // Rounded down to a whole sample frame; beyond the end is refused.
    virtual void setPosition(std::int64_t bytes) = 0;

    virtual int frequency() const = 0;
    virtual void setFrequency(int hertz) = 0;
    virtual int volume() const = 0;
    virtual void setVolume(int hundredthsOfDecibel) = 0;
    virtual int pan() const = 0;
    virtual void setPan(int pan) = 0;

    // Main thread, before the buffer first plays: while it plays, the buffer also sounds
    // `feed` (a live source's sound) with its volume and pan. False where the buffer cannot.
    virtual bool carryLiveSound(std::shared_ptr<LiveSoundFeed> /*feed*/) { return false; }
};

} // namespace oskel
