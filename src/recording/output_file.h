#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace oskel {

// A render or recording that cannot be written: the message says what and why, in the
// performer's words.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Could not <action> <file>: <reason>".
std::string fileProblem(std::string_view action, const std::filesystem::path& file, int error);

// Writes the bytes to a new file (replacing one of that name). Throws OutputError.
void writeFileBytes(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);

// Flushes a written file to the disk. Throws OutputError.
void syncFile(const std::filesystem::path& file);

// Renames `from` to `to`, replacing it. Throws OutputError.
void renameInto(const std::filesystem::path& from, const std::filesystem::path& to);
// Makes the renames in the folder of `file` durable.
void syncFolderOf(const std::filesystem::path& file);

// A file or folder being written: removed with everything in it when dropped before keep().
class PartialOutput {
public:
    explicit PartialOutput(std::filesystem::path path)
        : m_path(std::move(path))
    {
    }
    ~PartialOutput();
    PartialOutput(const PartialOutput&) = delete;
    PartialOutput& operator=(const PartialOutput&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    void keep() { m_kept = true; }

private:
    std::filesystem::path m_path;
    bool m_kept = false;
};

// The name a file is written under until it is complete: beside it, ending in ".partial".
std::filesystem::path partialName(const std::filesystem::path& file);

// Writes the bytes under the partial name, flushes them and renames the file into place, so
// that a reader never sees half of it. Returns the problem, if any.
std::optional<std::string> writeFileSafely(
    const std::filesystem::path& file, std::span<const std::uint8_t> bytes);

} // namespace oskel
