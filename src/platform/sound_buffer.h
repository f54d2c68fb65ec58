#pragma once

#include <cstdint>

namespace oskel {

// One static sound buffer of a slot: PCM that plays once or looping from a settable position.
// Positions and lengths are byte offsets aligned to whole sample frames. Volume is in
// hundredths of a decibel (-10000 silent .. 0 full), pan from -10000 (left) to 10000 (right),
// frequency the playback rate in Hz. Called from the main thread and the audio command thread;
// never from the sound callback.
class SoundBuffer {
public:
    virtual ~SoundBuffer() = default;

    virtual void play(bool looping) = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    virtual std::int64_t length() const = 0;
    virtual std::int64_t playCursor() const = 0;
    virtual void setPosition(std::int64_t bytes) = 0;

    virtual int frequency() const = 0;
    virtual void setFrequency(int hertz) = 0;
    virtual int volume() const = 0;
    virtual void setVolume(int hundredthsOfDecibel) = 0;
    virtual int pan() const = 0;
    virtual void setPan(int pan) = 0;
};

} // namespace oskel
