#pragma once

#include <istream>
#include <ostream>
#include <span>
#include <string_view>

#include "platform/midi_devices.h"

namespace oskel {

// "oskel3 --surface-simulator IN OUT": a control surface in a terminal, for performers
// without the hardware. It listens on the MIDI input device IN (connected to the output the
// instrument's surface uses), shows the two displays and the eight LEDs whenever they
// change, and sends what is typed on `in` to the output device OUT (connected to the
// instrument's input):
//   c CONTROL VALUE   a knob, fader or button (controller 0..95, value 0..127)
//   pad N             drum pad 1..8 struck
//   quit              ends
// Without IN and OUT it lists the devices. Returns the program's exit status.
int runSurfaceSimulator(std::span<const std::string_view> arguments, MidiDevices& devices,
    std::istream& in, std::ostream& out, std::ostream& err);

} // namespace oskel
