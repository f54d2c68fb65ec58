#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/safe_file.h"

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

// Renames `from` to `to`, replacing it. Throws OutputError. (syncFolderOf, from the platform,
// then makes the renames in the folder durable.)
void renameInto(const std::filesystem::path& from, const std::filesystem::path& to);

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
    // The complete file flushed to the disk, renamed to `file` (replacing it) and kept, the
    // rename made durable. Throws OutputError.
    void publishAs(const std::filesystem::path& file);

private:
    std::filesystem::path m_path;
    bool m_kept = false;
};

// The name a file is written under until it is complete: beside it, ending in ".partial".
inline constexpr std::string_view kPartialSuffix = ".partial";
std::filesystem::path partialName(const std::filesystem::path& file);

// Writes the bytes under the partial name and puts them in place whole (writeFileSafely).
// Returns the problem, if any: "Could not write <the partial or the file>: <reason>".
std::optional<std::string> writeOutputFile(
    const std::filesystem::path& file, std::span<const std::uint8_t> bytes);

} // namespace oskel
