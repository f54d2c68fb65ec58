#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace oskel {

enum class SmallFileStatus { Ok, Missing, Unreadable };

// A settings-sized file read whole: a regular file of at most `maxBytes`, opened without
// waiting (a FIFO named in its place would otherwise hang the reader). Anything else is
// refused with the reason in the system's words.
struct SmallFileRead {
    SmallFileStatus status = SmallFileStatus::Ok;
    std::string bytes;
    std::string error; // empty when status is Ok or Missing
};

SmallFileRead readSmallFile(const std::filesystem::path& path, std::size_t maxBytes);

// "Cannot <action> the file "<path>": <the system's text for error>".
std::string fileError(std::string_view action, const std::filesystem::path& path, int error);

} // namespace oskel
