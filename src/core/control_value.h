#pragma once

#include <cstdint>
#include <string>

#include "core/user_interface_port.h"

namespace oskel {

// A value shown in a control, in the form the control takes it. Every kind of value gives an
// answer, so a control never refuses what the logic shows in it.

// Buttons: a number is on when it is not zero, a text when it is "1" or "true".
bool controlValueAsBool(const ControlValue& value);
// Faders and counters: a fractional number to the nearest integer (halves to even), a text
// that is not a whole number gives 0, and values beyond the 32-bit range are clamped to it.
std::int32_t controlValueAsInteger(const ControlValue& value);
// Labels and fields: numbers as plain text ("120", "0.5"), "1" or "0" for a button state.
std::string controlValueAsText(const ControlValue& value);

} // namespace oskel
