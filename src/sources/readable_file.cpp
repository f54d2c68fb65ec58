#include "sources/readable_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "core/shown_text.h"

namespace oskel {

std::string whyUnreadable(const std::filesystem::path& file)
{
    if (holdsNul(file)) {
        return "the file name holds a NUL byte";
    }
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return "there is no such file";
    }
    if (error) {
        return error.message();
    }
    if (status.type() != std::filesystem::file_type::regular) {
        return "it is not a regular file";
    }
    errno = 0;
    if (!std::ifstream(file, std::ios::binary).is_open()) {
        return errno != 0 ? std::strerror(errno) : "it cannot be opened";
    }
    return {};
}

} // namespace oskel
