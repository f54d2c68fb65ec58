#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oskel {

enum class PatchEntryKind { Parent, Folder, Patch };

struct PatchListEntry {
    std::string caption;
    PatchEntryKind kind = PatchEntryKind::Patch;
};

// What the patch explorer lists for one folder: the parent entry " Up one level", then the
// sub-folders, then the patch files ("*.okp", the suffix in any case). Folders and files are
// each sorted by name, compared byte by byte with ASCII letters folded to lower case; names
// that differ only in case keep byte order. Hidden names (starting with ".") and anything
// that is neither a folder nor a regular file (FIFOs, devices, sockets, broken links) are
// left out. Reading never blocks on an entry: it only looks at each entry's status.
class PatchFolderList {
public:
    static constexpr std::string_view kParentCaption = " Up one level";
    // Entries listed at most, and entries looked at at most (a folder of many clips).
    static constexpr std::size_t kMaxListed = 10000;
    static constexpr std::size_t kMaxExamined = 200000;

    // Which files are listed: patch files, or every file (the clip explorer's clips of any
    // kind), listed as PatchEntryKind::Patch.
    enum class Files { Patches, Any };

    // Just the parent entry, for no folder.
    PatchFolderList();
    static PatchFolderList read(const std::filesystem::path& folder, Files files = Files::Patches);

    const std::filesystem::path& folder() const { return m_folder; }
    const std::vector<PatchListEntry>& entries() const { return m_entries; }
    std::size_t size() const { return m_entries.size(); }
    // False when the folder could not be opened: the list holds the parent entry only.
    bool readable() const { return m_readable; }
    // What went wrong while reading, in the performer's words; empty when nothing did.
    const std::string& problem() const { return m_problem; }

    // The first index from 1 whose caption, in the folder, names an existing patch file;
    // size() when none does. Looks at the file system now: a file deleted since reading no
    // longer counts.
    std::size_t firstPatchOffset() const;
    // The folder joined with the entry's caption; nothing for an index beyond the list.
    std::optional<std::filesystem::path> pathAt(std::size_t index) const;
    // What opening an entry means: the folder above (for the parent entry), a sub-folder, or
    // a file, with its path; nothing for an index beyond the list.
    struct Opened {
        PatchEntryKind kind;
        std::filesystem::path path;
    };
    std::optional<Opened> opened(std::size_t index) const;
    // pathAt, when the entry is a patch file that still exists.
    std::optional<std::filesystem::path> patchAt(std::size_t index) const;

private:
    std::filesystem::path m_folder;
    std::vector<PatchListEntry> m_entries;
    bool m_readable = false;
    std::string m_problem;
};

// The folder made absolute and plain: no "." or "..", no trailing separator.
std::filesystem::path plainFolder(const std::filesystem::path& folder);
bool isRegularFile(const std::filesystem::path& path);
bool isFolder(const std::filesystem::path& path);

} // namespace oskel
