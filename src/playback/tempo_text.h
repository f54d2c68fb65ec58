#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace oskel {

// The tempo as the tempo field shows it: a whole number when the tempo is integral ("120"),
// else fixed notation with four decimals ("120.1235"), halves going to the even neighbour.
std::string tempoFieldText(double bpm);

// A number as the tempo labels show it: up to fifteen significant digits, no trailing zeros
// ("120", "0.666666666666667", "1e+20").
std::string plainFloatText(double value);

// True when the text holds nothing but the digits and ".": what the tempo field accepts
// while it is being typed.
bool isTempoFieldText(std::string_view text);

// The whole text as a tempo: a finite number, not negative. Nothing when it does not parse.
std::optional<double> parseTempoText(std::string_view text);

} // namespace oskel
