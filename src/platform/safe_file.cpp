#include "platform/safe_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace oskel {

int writeAllBytes(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(count));
    }
    return 0;
}

void syncFolderOf(const std::filesystem::path& file)
{
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

LinkTarget writeTarget(const std::filesystem::path& file)
{
    // As many links as the system itself follows in one name.
    constexpr int kMostLinks = 40;
    std::filesystem::path target = file;
    for (int followed = 0; followed <= kMostLinks; ++followed) {
        std::error_code error;
        if (!std::filesystem::is_symlink(target, error)) {
            return { target, 0 };
        }
        const std::filesystem::path next = std::filesystem::read_symlink(target, error);
        if (error) {
            return { target, error.value() };
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return { file, ELOOP };
}

namespace {

// The bytes written beside the file and renamed over it.
std::optional<SafeWriteFailure> replaceFile(const std::filesystem::path& file,
    std::span<const std::uint8_t> bytes, std::string_view temporarySuffix)
{
    std::filesystem::path temporary = file;
    temporary += temporarySuffix;
    const int fd
        = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        return SafeWriteFailure { temporary, errno };
    }
    struct stat old { };
    if (::stat(file.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd, old.st_mode & 07777);
    }
    int error = writeAllBytes(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    std::optional<SafeWriteFailure> failure;
    if (error != 0) {
        failure = SafeWriteFailure { temporary, error };
    } else if (::rename(temporary.c_str(), file.c_str()) != 0) {
        failure = SafeWriteFailure { file, errno };
    }
    if (failure) {
        ::unlink(temporary.c_str());
        return failure;
    }
    syncFolderOf(file);
    return std::nullopt;
}

} // namespace

std::optional<SafeWriteFailure> writeFileSafely(const std::filesystem::path& name,
    std::span<const std::uint8_t> bytes, std::string_view temporarySuffix)
{
    if (name.native().find('\0') != std::string::npos) {
        return SafeWriteFailure { name, EINVAL };
    }
    const LinkTarget target = writeTarget(name);
    if (target.error != 0) {
        return SafeWriteFailure { name, target.error };
    }
    return replaceFile(target.file, bytes, temporarySuffix);
}

} // namespace oskel
