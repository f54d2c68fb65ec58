#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/midi_message.h"

namespace oskel {

// Turns the bytes a MIDI device sends into messages, one byte at a time. The bytes are
// hostile: anything may come in any order, and every message that comes out is well formed
// (a status byte with its top bit set, data bytes below 0x80, sysex within kMaxSysexBytes).
//
// - Running status: data bytes after a complete channel message start another one with the
//   same status. System messages cancel it.
// - A real-time byte (0xF8..0xFF) is a message on its own wherever it comes, even between the
//   bytes of another message or inside system-exclusive data, which go on undisturbed.
// - A message that another status byte cuts short is dropped, and so are data bytes with no
//   status to belong to.
// - System exclusive keeps its first kMaxSysexBytes bytes and is flagged truncated when there
//   were more. One that another status byte ends before its 0xF7 comes out as it stands.
// - 0xF4, 0xF5 and an 0xF7 outside system-exclusive data carry no message.
//
// Allocates nothing after construction; one thread at a time (the driver's).
class MidiByteParser {
public:
    MidiByteParser();

    // The messages this byte completes, oldest first: none, one, or two when a status byte
    // both ends system-exclusive data and is a whole message itself. They carry timeStamp.
    // The messages and their sysex bytes stay valid until the next push or reset.
    std::span<const MidiMessage> push(std::uint8_t byte, std::uint32_t timeStamp);

    // Forgets any message in progress and the running status.
    void reset();

private:
    void emitShort(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    void emitSysex();
    void takeStatus(std::uint8_t status);
    void takeData(std::uint8_t data);

    std::array<MidiMessage, 2> m_done {};
    std::size_t m_doneCount = 0;
    std::uint32_t m_time = 0;

    std::uint8_t m_status = 0; // the message being collected, or the running status; 0: none
    std::array<std::uint8_t, 2> m_data {};
    int m_dataCount = 0;

    // m_sysex[0] is always 0xF0, so starting a new block never overwrites the bytes of the
    // block just handed out.
    std::array<std::uint8_t, kMaxSysexBytes> m_sysex {};
    std::size_t m_sysexLength = 0; // 0 when no system-exclusive data is open
    bool m_sysexTruncated = false;
};

} // namespace oskel
