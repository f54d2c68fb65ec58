#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/midi_message.h"

namespace oskel {

// The control surface's side of its protocol, without the hardware: it takes what the
// instrument sends (the system-exclusive display messages and the section LEDs) and keeps the
// two displays and the eight LEDs as the surface would show them, and it makes the messages
// the surface's knobs, faders, buttons and pads send. For the tests, and for performers
// without the hardware (`oskel3 --surface-simulator`).
class SurfaceSimulator {
public:
    SurfaceSimulator();

    // One message from the instrument; messages the surface does not know are ignored.
    void receive(const MidiMessage& message);
    // A system-exclusive message's bytes, from 0xF0 to 0xF7.
    void receiveSysex(std::span<const std::uint8_t> bytes);

    bool online() const { return m_online; }
    // Lines 1..4: the left display's name and value lines are 1 and 3, the right one's 2 and 4.
    const std::string& line(int number) const;
    bool led(int section) const { return m_leds.at(static_cast<std::size_t>(section)); }
    // The displays and the LEDs as text, for a terminal.
    std::string picture() const;

    // What the surface sends: a knob, fader or button (its controller and value), a drum pad
    // (0..7) struck.
    static std::array<std::uint8_t, 3> control(int control, int value);
    static std::array<std::uint8_t, 3> pad(int pad);

private:
    bool m_online = false;
    std::array<std::string, 4> m_lines;
    std::array<bool, 8> m_leds {};
};

} // namespace oskel
