#pragma once

#include <algorithm>
#include <string_view>

namespace oskel {

// Letters compared as ASCII, whatever the locale: names in files and on the command line.
constexpr char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool sameWithoutCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return asciiLower(x) == asciiLower(y);
    });
}

} // namespace oskel
