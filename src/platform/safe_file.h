#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

namespace oskel {

// Why a file could not be written safely: the file the failing step worked on (the temporary
// file, or the file itself for the final rename) and the system's error number.
struct SafeWriteFailure {
    std::filesystem::path file;
    int error = 0;
};

// Where a name written to leads: the name itself, or, when it is a symbolic link, the file
// its links lead to in the end (which need not exist yet). A written file replaces that
// target, never the link: a performer who links an output elsewhere keeps the link. The
// error number instead when the links go round or cannot be read.
struct LinkTarget {
    std::filesystem::path file;
    int error = 0;
};
LinkTarget writeTarget(const std::filesystem::path& file);

// Writes the bytes under the name of the file's write target with `temporarySuffix`
// appended, flushes them to the disk and renames them over the target, so that a reader finds
// the old file or the whole new one, never part of either. A file that is replaced keeps its
// permissions. On failure the temporary file is removed (unless something else stood under
// its name) and the old file is left as it was. A name holding a NUL byte is refused
// (EINVAL): the system would take it for a shorter one.
std::optional<SafeWriteFailure> writeFileSafely(const std::filesystem::path& file,
    std::span<const std::uint8_t> bytes, std::string_view temporarySuffix);

// Writes all the bytes to the descriptor, going on after interruptions; 0 or the error number.
int writeAllBytes(int fd, std::span<const std::uint8_t> bytes);

// Makes the renames in the folder of `file` durable; a failure loses nothing that was there.
void syncFolderOf(const std::filesystem::path& file);

} // namespace oskel
