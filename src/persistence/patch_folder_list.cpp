#include "persistence/patch_folder_list.h"

#include <algorithm>
#include <compare>
#include <system_error>

#include "core/ascii.h"
#include "core/shown_text.h"
#include "persistence/patch_file.h"

namespace oskel {
namespace fs = std::filesystem;

namespace {

bool hasPatchSuffix(std::string_view name)
{
    const std::string_view suffix = kPatchExtension;
    return name.size() > suffix.size()
        && sameWithoutCase(name.substr(name.size() - suffix.size()), suffix);
}

bool nameBefore(const PatchListEntry& a, const PatchListEntry& b)
{
    const auto folded = std::lexicographical_compare_three_way(
        a.caption.begin(), a.caption.end(), b.caption.begin(), b.caption.end(), [](char x, char y) {
            return static_cast<unsigned char>(asciiLower(x))
                <=> static_cast<unsigned char>(asciiLower(y));
        });
    return folded != 0 ? folded < 0 : a.caption < b.caption;
}

// The kind an entry is listed as, or nothing when it is not listed.
std::optional<PatchEntryKind> listedKind(
    const fs::directory_entry& entry, PatchFolderList::Files files)
{
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.front() == '.') {
        return std::nullopt;
    }
    std::error_code error;
    const fs::file_status status = entry.status(error); // follows links; never opens
    if (error) {
        return std::nullopt;
    }
    if (fs::is_directory(status)) {
        return PatchEntryKind::Folder;
    }
    if (fs::is_regular_file(status)
        && (files == PatchFolderList::Files::Any || hasPatchSuffix(name))) {
        return PatchEntryKind::Patch;
    }
    return std::nullopt;
}

std::string readProblem(const fs::path& folder, const std::error_code& error)
{
    return "Cannot read the folder " + shownText(folder) + ": " + error.message();
}

} // namespace

PatchFolderList::PatchFolderList()
    : m_entries { { std::string(kParentCaption), PatchEntryKind::Parent } }
{
}

PatchFolderList PatchFolderList::read(const fs::path& folder, Files files)
{
    PatchFolderList list;
    list.m_folder = plainFolder(folder);
    std::error_code error;
    fs::directory_iterator entry(list.m_folder, error);
    if (error) {
        list.m_problem = readProblem(list.m_folder, error);
        return list;
    }
    list.m_readable = true;
    std::vector<PatchListEntry> folders;
    std::vector<PatchListEntry> patches;
    std::size_t examined = 0;
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        if (folders.size() + patches.size() == kMaxListed || ++examined > kMaxExamined) {
            list.m_problem = "Only part of the folder " + shownText(list.m_folder) + " is listed";
            break;
        }
        if (const auto kind = listedKind(*entry, files)) {
            auto& into = *kind == PatchEntryKind::Folder ? folders : patches;
            into.push_back({ entry->path().filename().string(), *kind });
        }
    }
    if (error) {
        list.m_problem = readProblem(list.m_folder, error);
    }
    std::sort(folders.begin(), folders.end(), nameBefore);
    std::sort(patches.begin(), patches.end(), nameBefore);
    list.m_entries.insert(list.m_entries.end(), folders.begin(), folders.end());
    list.m_entries.insert(list.m_entries.end(), patches.begin(), patches.end());
    return list;
}

std::size_t PatchFolderList::firstPatchOffset() const
{
    for (std::size_t index = 1; index < m_entries.size(); ++index) {
        if (patchAt(index)) {
            return index;
        }
    }
    return m_entries.size();
}

std::optional<fs::path> PatchFolderList::pathAt(std::size_t index) const
{
    if (index >= m_entries.size()) {
        return std::nullopt;
    }
    return m_folder / m_entries[index].caption;
}

std::optional<PatchFolderList::Opened> PatchFolderList::opened(std::size_t index) const
{
    if (index >= m_entries.size()) {
        return std::nullopt;
    }
    const PatchEntryKind kind = m_entries[index].kind;
    return Opened { kind,
        kind == PatchEntryKind::Parent ? m_folder.parent_path() : *pathAt(index) };
}

std::optional<fs::path> PatchFolderList::patchAt(std::size_t index) const
{
    auto path = pathAt(index);
    if (!path || m_entries[index].kind != PatchEntryKind::Patch || !isRegularFile(*path)) {
        return std::nullopt;
    }
    return path;
}

fs::path plainFolder(const fs::path& folder)
{
    std::error_code error;
    fs::path plain = fs::absolute(folder, error).lexically_normal();
    if (error) {
        plain = folder.lexically_normal();
    }
    if (!plain.has_filename() && plain != plain.root_path()) {
        plain = plain.parent_path();
    }
    return plain;
}

bool isRegularFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool isFolder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

} // namespace oskel
