#pragma once

#include <cstdint>
#include <optional>

namespace oskel {

// Physical memory that programs can still use, in bytes, when the system tells.
std::optional<std::int64_t> availableMemoryBytes();

} // namespace oskel
