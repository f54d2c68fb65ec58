#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace oskel {

// "Ready ... " with the free physical memory in whole megabytes, as the status line shows it.
inline std::string readyStatusText(std::optional<std::int64_t> freeBytes)
{
    std::string text = "Ready ... ";
    if (freeBytes) {
        text += std::to_string(*freeBytes / (1024 * 1024)) + " Mb RAM Free";
    }
    return text;
}

} // namespace oskel
