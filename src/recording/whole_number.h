#pragma once

#include <charconv>
#include <optional>
#include <string_view>

namespace oskel {

// The text as a whole number of type Number: decimal digits with an optional minus sign and
// nothing else; nothing when it is not one or does not fit.
template <typename Number> std::optional<Number> wholeNumber(std::string_view text)
{
    Number value {};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace oskel
