#pragma once

#include <stdexcept>
#include <vector>

#include "platform/sound_buffer.h"

namespace oskel::test {

// A sound buffer that only remembers what it was told.
class FakeSoundBuffer : public SoundBuffer {
public:
    FakeSoundBuffer(std::int64_t length, int frequency)
        : m_length(length)
        , m_frequency(frequency)
        , m_bytes(static_cast<std::size_t>(length))
    {
    }

    const WaveFormat& format() const override { return m_format; }
    std::span<std::uint8_t> lock() override { return m_bytes; }
    void unlock() override { }

    void play(bool looping) override
    {
        m_playing = true;
        m_looping = looping;
    }
    void stop() override { m_playing = false; }
    bool looping() const { return m_looping; }
    bool isPlaying() const override { return m_playing; }
    std::int64_t length() const override { return m_length; }
    std::int64_t playCursor() const override { return m_position; }
    void setPosition(std::int64_t bytes) override
    {
        if (bytes < 0 || bytes >= m_length) {
            throw SoundError("position outside the buffer");
        }
        m_position = bytes;
    }
    int frequency() const override { return m_frequency; }
    void setFrequency(int hertz) override
    {
        requestedFrequencies.push_back(hertz);
        if (hertz < 100 || hertz > 200000) {
            throw SoundError("Could not set frequency");
        }
        m_frequency = hertz;
    }
    int volume() const override { return m_volume; }
    void setVolume(int volume) override
    {
        if (volume < -10000 || volume > 0) {
            throw SoundError("Could not set volume");
        }
        m_volume = volume;
    }
    int pan() const override { return m_pan; }
    void setPan(int pan) override { m_pan = pan; }

    std::vector<int> requestedFrequencies;

private:
    WaveFormat m_format;
    std::int64_t m_length;
    int m_frequency;
    std::vector<std::uint8_t> m_bytes;
    std::int64_t m_position = 0;
    bool m_playing = false;
    bool m_looping = false;
    int m_volume = 0;
    int m_pan = 0;
};

// A buffer whose play cursor cannot be read.
class BrokenCursorBuffer : public FakeSoundBuffer {
public:
    using FakeSoundBuffer::FakeSoundBuffer;
    std::int64_t playCursor() const override { throw SoundError("no cursor"); }
};

} // namespace oskel::test
