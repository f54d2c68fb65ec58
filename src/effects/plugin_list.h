#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace oskel {

class SharedLibraryLoader;

// One plug-in file found by the scan.
struct PluginFile {
    std::string name; // the file name, which patches keep
    std::filesystem::path path;
    bool frei0r = false; // a frei0r filter, not a plug-in of our interface
};

// "No Plugin Loaded" first, then every plug-in file, by folder in the order given and by
// file name within a folder (so that a list index means the same file all through a run).
// A file name met again in a later folder is left out: patches name plug-ins by file name.
class PluginList {
public:
    static constexpr const char* kNoPlugin = "No Plugin Loaded";

    // Scans the folders of our plug-ins, then those of frei0r filters; a folder that is
    // missing or cannot be read is passed over.
    static PluginList scan(const std::vector<std::filesystem::path>& folders,
        SharedLibraryLoader& loader, const std::vector<std::filesystem::path>& frei0rFolders = {});
    // A list of the files given, in that order, without looking at them.
    static PluginList of(std::vector<PluginFile> files);
    // The same list without the file of that name.
    PluginList without(const std::string& fileName) const;

    // Entries including "No Plugin Loaded" at 0.
    int size() const { return static_cast<int>(m_files.size()) + 1; }
    bool pluginsAvailable() const { return !m_files.empty(); }
    // The entry's file name; empty out of range.
    std::string name(int index) const;
    // What the plug-in box shows: the file name, marked " (frei0r)" for a frei0r filter.
    std::string shownName(int index) const;
    // The entry's file; null for 0 and out of range.
    const PluginFile* file(int index) const;
    // The index of the entry with exactly this file name among entries 1..; 0 when none.
    int indexOf(const std::string& fileName) const;

private:
    std::vector<PluginFile> m_files;
};

// The file name ends in ".so" (in any case), the object loads and exports "plugMain".
bool IsPlugin(const std::filesystem::path& path, SharedLibraryLoader& loader);

} // namespace oskel
