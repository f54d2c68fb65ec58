#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/slot_handles.h"

namespace oskel {

inline constexpr std::string_view kStencilNameControl = "StencilFileName";

struct StencilLoadResult {
    ByteBlock mask; // width x height bytes, bottom row first; null on failure
    std::string message; // what the performer is told on failure

    bool ok() const { return mask != nullptr; }
};

// Reads an 8-bit greyscale BMP and scales it to the clip's frame size.
StencilLoadResult loadStencilMask(const std::filesystem::path& path, int clipWidth, int clipHeight);

} // namespace oskel
