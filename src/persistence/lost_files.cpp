#include "persistence/lost_files.h"

#include <algorithm>
#include <cstddef>
#include <system_error>

namespace oskel {

namespace {

namespace fs = std::filesystem;

// Deeper folders than this in a stored name are not searched: no real clip lies so deep,
// and each folder adds one more place to look.
constexpr std::size_t kMaxSearchedFolders = 32;

bool isDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool startsWithDrive(std::string_view stored)
{
    return stored.size() >= 2 && isDriveLetter(stored[0]) && stored[1] == ':';
}

bool isFolderName(std::string_view name)
{
    return !name.empty() && name != "." && name != "..";
}

// The stored name's file name and its folders, deepest first, without a Windows drive.
struct StoredName {
    std::string fileName;
    std::vector<std::string> folders;
};

// Splits at "/" from the end, so that only the folders searched are ever taken apart.
std::string_view takeLastPart(std::string_view& rest)
{
    const std::size_t slash = rest.rfind('/');
    const std::string_view last = slash == std::string_view::npos ? rest : rest.substr(slash + 1);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(0, slash);
    return last;
}

std::optional<StoredName> splitStoredName(std::string_view local)
{
    if (startsWithDrive(local)) {
        local.remove_prefix(2);
    }
    StoredName name;
    name.fileName = std::string(takeLastPart(local));
    if (!isFolderName(name.fileName)) {
        return std::nullopt;
    }
    while (!local.empty() && name.folders.size() < kMaxSearchedFolders) {
        const std::string_view folder = takeLastPart(local);
        if (isFolderName(folder)) {
            name.folders.emplace_back(folder);
        }
    }
    return name;
}

struct Candidate {
    fs::path path;
    std::string nameNextToPatch; // empty when the place is not next to the patch
};

// Next to the patch: the file name alone, then under the stored folders, deepest first.
void addNextToPatch(
    std::vector<Candidate>& candidates, const StoredName& name, const fs::path& patchFolder)
{
    std::string relative = name.fileName;
    candidates.push_back({ patchFolder / relative, relative });
    for (const std::string& folder : name.folders) {
        relative = folder + '/' + relative;
        candidates.push_back({ patchFolder / relative, relative });
    }
}

void addElsewhere(
    std::vector<Candidate>& candidates, const StoredName& name, const LostFileSearch& search)
{
    const auto add = [&](const fs::path& folder) {
        if (!folder.empty()) {
            candidates.push_back({ folder / name.fileName, {} });
        }
    };
    if (!search.lastClipPath.empty()) {
        add(fs::path(localStoredPath(search.lastClipPath)).parent_path());
    }
    for (auto folder = search.clipFolderHistory.rbegin(); folder != search.clipFolderHistory.rend();
         ++folder) {
        add(fs::path(localStoredPath(*folder)));
    }
    add(search.clipFolder);
}

std::vector<Candidate> candidatesFor(
    std::string_view stored, const LostFileSearch& search, bool withStoredName)
{
    std::vector<Candidate> candidates;
    const std::string local = localStoredPath(stored);
    const auto name = splitStoredName(local);
    if (!name) {
        return candidates;
    }
    if (!search.patchFolder.empty()) {
        // A name from the root of a Windows drive ("\clips\beach.avi") must not become one here.
        const bool relative = !isStoredPathAbsolute(stored) && !local.starts_with('/');
        if (withStoredName && relative) {
            candidates.push_back({ search.patchFolder / local, local });
        }
        addNextToPatch(candidates, *name, search.patchFolder);
    }
    addElsewhere(candidates, *name, search);
    return candidates;
}

bool exists(const LostFileSearch& search, const fs::path& path)
{
    if (search.exists) {
        return search.exists(path);
    }
    std::error_code error;
    return fs::is_regular_file(path, error);
}

const Candidate* firstExisting(
    const std::vector<Candidate>& candidates, const LostFileSearch& search)
{
    const auto found = std::find_if(candidates.begin(), candidates.end(),
        [&](const Candidate& candidate) { return exists(search, candidate.path); });
    return found == candidates.end() ? nullptr : &*found;
}

} // namespace

bool isWindowsStoredPath(std::string_view stored)
{
    const bool drive
        = stored.size() >= 3 && startsWithDrive(stored) && (stored[2] == '\\' || stored[2] == '/');
    return drive || stored.starts_with("\\\\");
}

bool isStoredPathAbsolute(std::string_view stored)
{
    return stored.starts_with('/') || isWindowsStoredPath(stored);
}

std::string localStoredPath(std::string_view stored)
{
    std::string local(stored);
    std::replace(local.begin(), local.end(), '\\', '/');
    return local;
}

std::optional<FoundClip> findLostClip(std::string_view stored, const LostFileSearch& search)
{
    const std::vector<Candidate> candidates = candidatesFor(stored, search, true);
    const Candidate* found = firstExisting(candidates, search);
    if (found == nullptr) {
        return std::nullopt;
    }
    FoundClip clip;
    clip.path = found->path;
    clip.nextToPatch = !found->nameNextToPatch.empty();
    clip.name = clip.nextToPatch ? found->nameNextToPatch : found->path.string();
    if (!clip.nextToPatch) {
        clip.newLastClipPath = found->path.string();
    }
    return clip;
}

std::optional<fs::path> findLostStencil(std::string_view stored, const LostFileSearch& search)
{
    const std::vector<Candidate> candidates = candidatesFor(stored, search, false);
    const Candidate* found = firstExisting(candidates, search);
    return found == nullptr ? std::nullopt : std::optional(found->path);
}

} // namespace oskel
