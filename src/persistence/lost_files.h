#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oskel {

// Clip and stencil names as a patch stores them, and the search for files that are no longer
// where the patch says. Patches written on Windows hold names such as "C:\clips\beach.avi" or
// "\\server\clips\beach.avi": they never open as they stand; their separators become "/" and
// the search finds the file by name.

// "/..." here; a drive letter followed by ":\" or ":/", or "\\", from Windows.
bool isStoredPathAbsolute(std::string_view stored);
bool isWindowsStoredPath(std::string_view stored);
// The name with "\" turned into "/". A Windows drive ("C:") stays in front.
std::string localStoredPath(std::string_view stored);

// What the search may look at. `exists` answers for regular files only (tests pass a set of
// names; the loader the file system).
struct LostFileSearch {
    std::filesystem::path patchFolder;
    std::string lastClipPath;
    std::vector<std::string> clipFolderHistory; // oldest first
    std::filesystem::path clipFolder; // the "video clips" folder
    std::function<bool(const std::filesystem::path&)> exists;
};

struct FoundClip {
    // The name the slot keeps: when the clip lies next to the patch, the name relative to
    // the patch folder under which it was found (the stored name with local separators, or
    // its tail), so that a patch moved with its clips saves them relative again; the found
    // path otherwise.
    std::string name;
    std::filesystem::path path; // where the file is
    bool nextToPatch = false;
    // The search moves the last clip path to what it found, except next to the patch.
    std::optional<std::string> newLastClipPath;
};

// In this order: the patch folder joined with a relative stored name as it stands; the patch
// folder with the file name; the patch folder joined with the stored folders, deepest first,
// and the file name; the last clip folder; the clip folder history, newest first; the clip
// folder. The first three lie next to the patch.
std::optional<FoundClip> findLostClip(std::string_view stored, const LostFileSearch& search);

// The patch folder with the file name; the patch folder joined with the stored folders,
// deepest first; the last clip folder; the clip folder history, newest first; the clip
// folder.
std::optional<std::filesystem::path> findLostStencil(
    std::string_view stored, const LostFileSearch& search);

} // namespace oskel
