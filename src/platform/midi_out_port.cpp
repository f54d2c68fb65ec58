#include "platform/midi_out_port.h"

#include <algorithm>
#include <array>

namespace oskel {

MidiOutPort::MidiOutPort(MidiDevices& devices)
    : m_devices(devices)
{
}

MidiResult MidiOutPort::open(std::size_t index)
{
    std::string name;
    if (MidiResult refused = midiDeviceAt(isOpen(), deviceNames(), index, name); !refused.ok()) {
        return refused;
    }
    return open(std::string_view(name));
}

MidiResult MidiOutPort::open(std::string_view name)
{
    if (isOpen()) {
        return { "Change to ProductName while device was open" };
    }
    std::string whyNot;
    m_stream = m_devices.openOutput(name, whyNot);
    if (!m_stream) {
        return { whyNot };
    }
    m_productName = std::string(name);
    return {};
}

bool MidiOutPort::close()
{
    const bool wasOpen = isOpen();
    m_stream.reset();
    return wasOpen;
}

MidiResult MidiOutPort::sendBytes(std::span<const std::uint8_t> bytes)
{
    if (!m_stream) {
        return { "MIDI Output device not open" };
    }
    return { m_stream->send(bytes) };
}

MidiResult MidiOutPort::sendShort(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    const int length = midiDataLength(status);
    if (length < 0) {
        return { "Not a short MIDI message" };
    }
    const std::array<std::uint8_t, 3> bytes { status, static_cast<std::uint8_t>(data1 & 0x7F),
        static_cast<std::uint8_t>(data2 & 0x7F) };
    return sendBytes(std::span(bytes).first(static_cast<std::size_t>(1 + length)));
}

MidiResult MidiOutPort::sendSysex(std::span<const std::uint8_t> bytes)
{
    const bool wellFormed = bytes.size() >= 2 && bytes.front() == midi::kSysexStart
        && bytes.back() == midi::kSysexEnd
        && std::none_of(bytes.begin() + 1, bytes.end() - 1, midi::isStatus);
    if (!wellFormed) {
        return { "Not a system-exclusive message" };
    }
    return sendBytes(bytes);
}

MidiResult MidiOutPort::send(const MidiMessage& message)
{
    if (!isOpen()) {
        return { "MIDI Output device not open" };
    }
    if (message.isSysex()) {
        return sendSysex(message.sysex);
    }
    return sendShort(message.status, message.data1, message.data2);
}

} // namespace oskel
