#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/midi_devices.h"
#include "platform/midi_message.h"

namespace oskel {

// One MIDI output device: choose it, open it, send to it. A send returns once the device has
// taken the bytes; the caller's buffer is free again. Used by one thread at a time (the main
// thread, or the thread that owns the device's output).
class MidiOutPort {
public:
    explicit MidiOutPort(MidiDevices& devices);
    MidiOutPort(const MidiOutPort&) = delete;
    MidiOutPort& operator=(const MidiOutPort&) = delete;

    std::vector<std::string> deviceNames() const { return m_devices.outputNames(); }

    // As MidiInPort::open, with "MIDI output Device <name> not installed" for an unknown
    // name.
    MidiResult open(std::size_t index);
    MidiResult open(std::string_view name);
    // Returns whether a device was open.
    bool close();

    bool isOpen() const { return m_stream != nullptr; }
    const std::string& productName() const { return m_productName; }

    // A short message: a status byte of a channel or system message and its data bytes (only
    // as many as the status takes are sent; their top bits are cleared).
    MidiResult sendShort(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    // System-exclusive data from its 0xF0 to its 0xF7, data bytes only in between.
    MidiResult sendSysex(std::span<const std::uint8_t> bytes);
    // Either, as the message is.
    MidiResult send(const MidiMessage& message);

private:
    MidiResult sendBytes(std::span<const std::uint8_t> bytes);

    MidiDevices& m_devices;
    std::unique_ptr<MidiOutStream> m_stream;
    std::string m_productName;
};

} // namespace oskel
