#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oskel {

// Where a control surface's messages go: a queue in front of one MIDI output device, so that
// whoever writes never waits for the device. Messages with the same non-zero key supersede one
// another: when the device falls behind, only the newest of them is sent.
class MidiOutQueue {
public:
    // The device's state: closed, asked to open and failed, open.
    enum class State { Closed, Failed, Open };

    virtual ~MidiOutQueue() = default;

    // Asks for the output device of that name to be opened; `state` tells when it is done.
    virtual void open(const std::string& device) = 0;
    virtual void close() = 0;
    virtual State state() const = 0;
    // System-exclusive bytes, from their 0xF0 to their 0xF7.
    virtual void send(std::vector<std::uint8_t> bytes, int key) = 0;
    virtual void controlChange(std::uint8_t controller, std::uint8_t value) = 0;
};

} // namespace oskel
