#pragma once

#include <filesystem>
#include <string>

namespace oskel {

// Why a clip file cannot be read, in the performer's words: a name the system would take for
// a shorter one (it holds a NUL byte), a missing file, a folder or a device, a file that does
// not open. Empty when it can be read.
std::string whyUnreadable(const std::filesystem::path& file);

} // namespace oskel
