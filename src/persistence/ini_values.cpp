#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "persistence/ini_profile.h"
#include "persistence/ini_text.h"

namespace oskel {
namespace {

using detail::trimIniBlanks;

// Takes one leading "+" or "-" off text; true when it was "-".
bool takeSign(std::string_view& text)
{
    if (text.empty() || (text.front() != '+' && text.front() != '-')) {
        return false;
    }
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
}

std::optional<std::uint64_t> parseMagnitude(std::string_view digits, int base)
{
    std::uint64_t magnitude = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, magnitude, base);
    if (digits.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return magnitude;
}

} // namespace

std::optional<std::int64_t> parseIniInteger(std::string_view text)
{
    text = trimIniBlanks(text);
    const bool negative = takeSign(text);
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        text.remove_prefix(1);
        base = 16;
    }
    const auto magnitude = parseMagnitude(text, base);
    if (!magnitude) {
        return std::nullopt;
    }
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (!negative) {
        return *magnitude <= kMax
            ? std::optional<std::int64_t>(static_cast<std::int64_t>(*magnitude))
            : std::nullopt;
    }
    if (*magnitude > kMax + 1) {
        return std::nullopt;
    }
    // -(kMax + 1) is representable although kMax + 1 is not.
    return *magnitude == kMax + 1 ? std::numeric_limits<std::int64_t>::min()
                                  : -static_cast<std::int64_t>(*magnitude);
}

std::optional<double> parseIniFloat(std::string_view text)
{
    text = trimIniBlanks(text);
    const bool negative = takeSign(text);
    // from_chars would take a second sign itself; "+-1" is not a number.
    if (text.empty() || text.front() == '+' || text.front() == '-') {
        return std::nullopt;
    }
    std::string withPoints;
    if (text.find(',') != std::string_view::npos) {
        withPoints.assign(text);
        for (char& c : withPoints) {
            if (c == ',') {
                c = '.';
            }
        }
        text = withPoints;
    }
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::string formatIniFloat(double value)
{
    constexpr int kSignificantDigits = 15;
    char buffer[64];
    auto result = std::to_chars(
        buffer, buffer + sizeof buffer, value, std::chars_format::general, kSignificantDigits);
    std::string text(buffer, result.ptr);
    // Rounded to 15 digits, numbers next to the largest double no longer fit in one; those
    // are written in full.
    if (std::isfinite(value) && !parseIniFloat(text)) {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general);
        text.assign(buffer, result.ptr);
    }
    return text;
}

} // namespace oskel
