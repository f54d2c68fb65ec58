#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/rounding.h"

namespace oskel {

// "Ready ... " with the free physical memory in whole megabytes, as the status line shows it,
// then what the last load found wrong, if anything.
inline std::string readyStatusText(
    std::optional<std::int64_t> freeBytes, std::string_view notice = {})
{
    std::string text = "Ready ... ";
    if (freeBytes) {
        text += std::to_string(*freeBytes / (1024 * 1024)) + " Mb RAM Free";
    }
    if (!notice.empty()) {
        text += " - ";
        text += notice;
    }
    return text;
}

// The free physical memory in whole megabytes, rounded, as a click on the status line shows it.
inline std::string freeMemoryText(std::optional<std::int64_t> freeBytes)
{
    const double megabytes = static_cast<double>(freeBytes.value_or(0)) / (1024.0 * 1024.0);
    return std::to_string(roundHalfEven(megabytes)) + " Mb RAM Free";
}

} // namespace oskel
