#include "platform/midi_byte_parser.h"

namespace oskel {

MidiByteParser::MidiByteParser()
{
    m_sysex[0] = midi::kSysexStart;
}

void MidiByteParser::reset()
{
    m_doneCount = 0;
    m_status = 0;
    m_dataCount = 0;
    m_sysexLength = 0;
    m_sysexTruncated = false;
}

std::span<const MidiMessage> MidiByteParser::push(std::uint8_t byte, std::uint32_t timeStamp)
{
    m_doneCount = 0;
    m_time = timeStamp;
    if (midi::isRealTime(byte)) {
        emitShort(byte, 0, 0);
    } else if (midi::isStatus(byte)) {
        takeStatus(byte);
    } else {
        takeData(byte);
    }
    return std::span<const MidiMessage>(m_done.data(), m_doneCount);
}

void MidiByteParser::emitShort(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    m_done[m_doneCount++] = MidiMessage { status, data1, data2, m_time, {}, false };
}

void MidiByteParser::emitSysex()
{
    m_done[m_doneCount++] = MidiMessage { midi::kSysexStart, 0, 0, m_time,
        std::span<const std::uint8_t>(m_sysex.data(), m_sysexLength), m_sysexTruncated };
    m_sysexLength = 0;
    m_sysexTruncated = false;
}

void MidiByteParser::takeStatus(std::uint8_t status)
{
    // Whatever was being collected ends here: a short message is incomplete and goes, a
    // system-exclusive block goes out as it is.
    m_dataCount = 0;
    m_status = 0;
    if (m_sysexLength > 0) {
        if (status == midi::kSysexEnd) {
            if (m_sysexLength < m_sysex.size()) {
                m_sysex[m_sysexLength++] = status;
            } else {
                m_sysexTruncated = true;
            }
        }
        emitSysex();
        if (status == midi::kSysexEnd) {
            return;
        }
    }
    if (status == midi::kSysexStart) {
        m_sysexLength = 1;
        return;
    }
    const int length = midiDataLength(status);
    if (length == 0) {
        emitShort(status, 0, 0);
    } else if (length > 0) {
        m_status = status;
    }
}

void MidiByteParser::takeData(std::uint8_t data)
{
    if (m_sysexLength > 0) {
        if (m_sysexLength < m_sysex.size()) {
            m_sysex[m_sysexLength++] = data;
        } else {
            m_sysexTruncated = true;
        }
        return;
    }
    if (m_status == 0) {
        return;
    }
    m_data[static_cast<std::size_t>(m_dataCount++)] = data;
    if (m_dataCount < midiDataLength(m_status)) {
        return;
    }
    emitShort(m_status, m_data[0], m_dataCount == 2 ? m_data[1] : 0);
    m_dataCount = 0;
    if (m_status >= 0xF0) {
        m_status = 0; // system common messages have no running status
    }
}

} // namespace oskel
