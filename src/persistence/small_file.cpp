#include "persistence/small_file.h"

#include <cerrno>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/shown_text.h"

namespace oskel {

namespace {

// Reads the whole file, at most maxBytes; returns errno on failure, 0 on success.
int readAll(int fd, std::string& text, std::size_t maxBytes)
{
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0) {
            return 0;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (text.size() + static_cast<std::size_t>(count) > maxBytes) {
            return EFBIG;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

// What keeps a file from being read, or nothing.
std::optional<std::string> refusalOf(
    int fd, const std::filesystem::path& path, std::size_t maxBytes)
{
    struct stat info { };
    if (::fstat(fd, &info) != 0) {
        return fileError("read", path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return "Cannot read " + shownText(path) + ": it is not a regular file";
    }
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        return "Cannot read " + shownText(path) + ": it is larger than "
            + (maxBytes >= 1024 * 1024 ? std::to_string(maxBytes / (1024 * 1024)) + " MB"
                                       : std::to_string(maxBytes) + " bytes");
    }
    return std::nullopt;
}

} // namespace

std::string fileError(std::string_view action, const std::filesystem::path& path, int error)
{
    std::string text = "Cannot ";
    text += action;
    text += " the file ";
    text += shownText(path);
    text += ": ";
    text += std::system_category().message(error);
    return text;
}

SmallFileRead readSmallFile(const std::filesystem::path& path, std::size_t maxBytes)
{
    SmallFileRead result;
    if (holdsNul(path)) {
        result.status = SmallFileStatus::Unreadable;
        result.error = "Cannot read " + shownText(path) + ": the file name holds a NUL byte";
        return result;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        result.status = errno == ENOENT ? SmallFileStatus::Missing : SmallFileStatus::Unreadable;
        if (errno != ENOENT) {
            result.error = fileError("read", path, errno);
        }
        return result;
    }
    if (auto refusal = refusalOf(fd, path, maxBytes)) {
        ::close(fd);
        result.status = SmallFileStatus::Unreadable;
        result.error = std::move(*refusal);
        return result;
    }
    const int error = readAll(fd, result.bytes, maxBytes);
    ::close(fd);
    if (error != 0) {
        result.status = SmallFileStatus::Unreadable;
        result.error = fileError("read", path, error);
        result.bytes.clear();
    }
    return result;
}

} // namespace oskel
