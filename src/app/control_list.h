#pragma once

#include <ostream>

namespace oskel {

// Prints the control table for performers who write performance files and mappings: one
// entry a line with its name, type, range and default; slot entries once, as "[SlotN]".
void printControlList(std::ostream& out);

} // namespace oskel
