#include "recording/output_file.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include "core/shown_text.h"
#include "platform/safe_file.h"

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

} // namespace

PartialOutput::~PartialOutput()
{
    if (!m_kept) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
}

void PartialOutput::publishAs(const std::filesystem::path& file)
{
    syncFile(m_path);
    renameInto(m_path, file);
    keep();
    syncFolderOf(file);
}

std::string fileProblem(std::string_view action, const std::filesystem::path& file, int error)
{
    return "Could not " + std::string(action) + " " + shownText(file) + ": " + std::strerror(error);
}

void writeFileBytes(const std::filesystem::path& file, std::span<const std::uint8_t> bytes)
{
    Descriptor fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        throw OutputError(fileProblem("write", file, errno));
    }
    int error = writeAllBytes(fd.get(), bytes);
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
    partial += kPartialSuffix;
    return partial;
}

std::optional<std::string> writeOutputFile(
    const std::filesystem::path& file, std::span<const std::uint8_t> bytes)
{
    if (const auto failure = writeFileSafely(file, bytes, kPartialSuffix)) {
        return fileProblem("write", failure->file, failure->error);
    }
    return std::nullopt;
}

} // namespace oskel
