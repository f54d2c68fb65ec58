#include "playback/tempo_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace oskel {
namespace {

template <typename... Format> std::string toText(double value, Format... format)
{
    // Wide enough for the largest double in fixed notation with four decimals.
    std::array<char, 400> buffer {};
    const auto result
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format...);
    if (result.ec != std::errc {}) {
        return "0";
    }
    return std::string(buffer.data(), result.ptr);
}

} // namespace

std::string tempoFieldText(double bpm)
{
    if (std::isfinite(bpm) && std::floor(bpm) == bpm) {
        return toText(bpm, std::chars_format::fixed, 0);
    }
    return toText(bpm, std::chars_format::fixed, 4);
}

std::string plainFloatText(double value)
{
    return toText(value, std::chars_format::general, 15);
}

bool isTempoFieldText(std::string_view text)
{
    return std::all_of(
        text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

std::optional<double> parseTempoText(std::string_view text)
{
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc {} || result.ptr != end || !std::isfinite(value)
        || std::signbit(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace oskel
