#pragma once

#include <string_view>

// Small text helpers shared by the INI profile and its value encodings.
namespace oskel::detail {

// Blanks are not part of names and values. Line breaks count as blanks so that a name
// passed with one matches the name written with a space in its place.
inline bool isIniBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

inline std::string_view trimIniBlanks(std::string_view text)
{
    while (!text.empty() && isIniBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isIniBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace oskel::detail
