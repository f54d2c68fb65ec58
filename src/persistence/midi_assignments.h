#pragma once

#include <array>
#include <cstdint>

#include "core/options.h"
#include "persistence/ini_profile.h"

namespace oskel {

// The sections "MIDIcontrollers" and "MIDIcontrollerInverts", which the settings file and
// patches share: keys "0".."40", the controller number assigned to each parameter (-1 for
// none) and whether the assignment is inverted.
using MidiControllers = std::array<std::int32_t, kMidiParameterCount>;
using MidiControllerInverts = std::array<bool, kMidiParameterCount>;

// A number that is no controller (outside -1..127) reads as -1.
void readMidiAssignments(
    const IniProfile& ini, MidiControllers& controllers, MidiControllerInverts& inverts);
void writeMidiAssignments(
    IniProfile& ini, const MidiControllers& controllers, const MidiControllerInverts& inverts);

} // namespace oskel
