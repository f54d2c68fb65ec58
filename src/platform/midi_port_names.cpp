#include "platform/midi_port_names.h"

#include <algorithm>

namespace oskel {

namespace {

bool isDigits(std::string_view text)
{
    return !text.empty()
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string stableAlsaPortName(std::string_view listed)
{
    const std::size_t space = listed.rfind(' ');
    if (space == std::string_view::npos || space == 0) {
        return std::string(listed);
    }
    const std::string_view numbers = listed.substr(space + 1);
    const std::size_t colon = numbers.find(':');
    if (colon == std::string_view::npos || !isDigits(numbers.substr(0, colon))
        || !isDigits(numbers.substr(colon + 1))) {
        return std::string(listed);
    }
    return std::string(listed.substr(0, space));
}

void makeNamesUnique(std::vector<std::string>& names)
{
    for (std::size_t index = 1; index < names.size(); ++index) {
        const auto earlier = names.begin() + static_cast<std::ptrdiff_t>(index);
        if (std::find(names.begin(), earlier, names[index]) == earlier) {
            continue;
        }
        const std::string base = names[index];
        for (int number = 2;; ++number) {
            std::string candidate = base + " (" + std::to_string(number) + ")";
            if (std::find(names.begin(), names.end(), candidate) == names.end()) {
                names[index] = std::move(candidate);
                break;
            }
        }
    }
}

} // namespace oskel
