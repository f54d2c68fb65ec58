#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace oskel {

// The name under which a device of the ALSA sequencer is listed and remembered: the
// sequencer's "client:port" name without the client and port numbers at its end ("USB Keys:
// USB Keys MIDI 1 24:0" gives "USB Keys:USB Keys MIDI 1"), since those numbers change from one
// session to the next while the name does not.
std::string stableAlsaPortName(std::string_view listed);

// Gives the second and later of equal names a number, " (2)", " (3)"..., so that every device
// of a list can be found by its name. The first keeps its name.
void makeNamesUnique(std::vector<std::string>& names);

} // namespace oskel
