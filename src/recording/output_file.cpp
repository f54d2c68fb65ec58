#include "recording/output_file.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace oskel {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    // Closes now; returns errno on failure, 0 on success.
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

int writeAll(int fd, std::span<const std::uint8_t> bytes)
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

} // namespace

void syncFolderOf(const std::filesystem::path& file)
{
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) {
        ::fsync(fd.get());
    }
}

PartialOutput::~PartialOutput()
{
    if (!m_kept) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
}

std::string fileProblem(std::string_view action, const std::filesystem::path& file, int error)
{
    return "Could not " + std::string(action) + " " + file.string() + ": " + std::strerror(error);
}

void writeFileBytes(const std::filesystem::path& file, std::span<const std::uint8_t> bytes)
{
    Descriptor fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        throw OutputError(fileProblem("write", file, errno));
    }
    int error = writeAll(fd.get(), bytes);
    const int closeError = fd.close();
    if (error == 0) {
        error = closeError;
    }
    if (error != 0) {
        throw OutputError(fileProblem("write", file, error));
    }
}

void syncFile(const std::filesystem::path& file)
{
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0) {
        throw OutputError(fileProblem("write", file, errno));
    }
}

void renameInto(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0) {
        throw OutputError(fileProblem("write", to, errno));
    }
}

std::filesystem::path partialName(const std::filesystem::path& file)
{
    std::filesystem::path partial = file;
    partial += ".partial";
    return partial;
}

std::optional<std::string> writeFileSafely(
    const std::filesystem::path& file, std::span<const std::uint8_t> bytes)
{
    const std::filesystem::path partial = partialName(file);
    try {
        writeFileBytes(partial, bytes);
        syncFile(partial);
        renameInto(partial, file);
        syncFolderOf(file);
    } catch (const OutputError& error) {
        ::unlink(partial.c_str());
        return error.what();
    }
    return std::nullopt;
}

} // namespace oskel
