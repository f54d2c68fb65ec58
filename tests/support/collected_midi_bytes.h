#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "platform/midi_backend.h"

namespace oskel::test {

// Collects the bytes that arrive at a MIDI input (a loopback cable's), from whatever thread
// delivers them.
class CollectedMidiBytes : public MidiByteSink {
public:
    void receive(std::span<const std::uint8_t> bytes) noexcept override
    {
        const std::scoped_lock held(m_lock);
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }
    std::vector<std::uint8_t> bytes()
    {
        const std::scoped_lock held(m_lock);
        return m_bytes;
    }

private:
    std::mutex m_lock;
    std::vector<std::uint8_t> m_bytes;
};

} // namespace oskel::test
