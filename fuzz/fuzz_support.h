#pragma once

// What the fuzz targets share: the input read in pieces, the check that ends a run that
// broke a rule, and playback threads that exist only as an answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/engine_ports.h"

namespace oskel::fuzz {

inline void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// The input of a run, a byte or a number at a time; zeros once it is used up.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool more() const { return m_position < m_size; }
    std::uint8_t byte() { return more() ? m_data[m_position++] : 0; }
    std::int32_t number()
    {
        // Mostly small values, which hit the interesting ranges; sometimes anything at all.
        const std::uint8_t kind = byte();
        if (kind % 4 == 0) {
            std::uint32_t raw = 0;
            for (int i = 0; i < 4; ++i) {
                raw = (raw << 8) | byte();
            }
            std::int32_t value = 0;
            std::memcpy(&value, &raw, sizeof value);
            return value;
        }
        const auto low = static_cast<std::int16_t>((byte() << 8) | byte());
        return kind % 4 == 1 ? low : kind % 4 == 2 ? low % 800 : -(std::abs(low) % 10001);
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

// The audio command thread, done in step by the target or not at all: there until stopped,
// never suspended.
class SteppedPlayback : public PlaybackControl {
public:
    bool audioThreadExists() const override { return m_running; }
    bool frameThreadRunning() const override { return false; }
    bool audioThreadRunning() const override { return m_running; }
    bool audioThreadSuspended() const override { return false; }
    void startAudioThread() override { m_running = true; }
    void resumeAudioThread() override { }
    void stopAudioThread() override { m_running = false; }

private:
    bool m_running = true;
};

} // namespace oskel::fuzz
