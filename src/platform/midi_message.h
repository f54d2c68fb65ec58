#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace oskel {

// The most system-exclusive bytes one message keeps, its 0xF0 and 0xF7 included.
inline constexpr std::size_t kMaxSysexBytes = 4096;

namespace midi {
inline constexpr std::uint8_t kSysexStart = 0xF0;
inline constexpr std::uint8_t kSysexEnd = 0xF7;
inline constexpr std::uint8_t kTimingClock = 0xF8;
inline constexpr std::uint8_t kStart = 0xFA;
inline constexpr std::uint8_t kContinue = 0xFB;
inline constexpr std::uint8_t kStop = 0xFC;
inline constexpr std::uint8_t kActiveSensing = 0xFE;

constexpr bool isStatus(std::uint8_t byte)
{
    return byte >= 0x80;
}
constexpr bool isRealTime(std::uint8_t byte)
{
    return byte >= 0xF8;
}
} // namespace midi

// One MIDI message as it arrived from a device, or one to send. A short message has its status
// byte and up to two data bytes (the unused ones are 0). System-exclusive data has status 0xF0,
// data 0 and 0, and its bytes in sysex, from the 0xF0 to the 0xF7.
struct MidiMessage {
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    // Milliseconds since the input was started.
    std::uint32_t timeStamp = 0;
    // Borrowed: whoever hands the message over says how long the bytes stay valid. A block
    // that another status byte cut short lacks its 0xF7.
    std::span<const std::uint8_t> sysex;
    // The device sent more than kMaxSysexBytes: sysex holds the first ones, the rest are lost.
    bool sysexTruncated = false;

    bool isSysex() const { return status == midi::kSysexStart; }
    // The block ended with its 0xF7 and nothing was lost.
    bool sysexComplete() const
    {
        return isSysex() && !sysexTruncated && sysex.size() >= 2 && sysex.back() == midi::kSysexEnd;
    }
    std::uint8_t channel() const { return status & 0x0F; }
};

// How many data bytes follow a status byte: 0, 1 or 2; -1 for the system-exclusive start
// and for the status bytes that carry no message (0xF4, 0xF5, 0xF7).
constexpr int midiDataLength(std::uint8_t status)
{
    if (status < 0x80) {
        return -1;
    }
    if (status < 0xF0) {
        const std::uint8_t kind = status & 0xF0;
        return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
    }
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 1;
    case 0xF2:
        return 2;
    case 0xF6:
        return 0;
    default:
        return midi::isRealTime(status) ? 0 : -1;
    }
}

} // namespace oskel
