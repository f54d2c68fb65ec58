#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/performance.h"
#include "persistence/patch_folder_list.h"

namespace oskel {

class SlotGrid;

// The clip explorer: one folder's sub-folders and files, " Up one level" first. Opening a
// folder entry shows that folder; opening a file loads it into the first slot without a clip
// (slot 1 when every slot holds one), as a file dropped on the grid is loaded. A file can also
// be dragged out onto a slot. Main thread.
class ClipExplorer {
public:
    ClipExplorer(Performance& performance, SlotGrid& grid);

    // At start: shows the first of the folders that can be read, without a word about those
    // that cannot (the last clip's folder may have gone since the last run).
    void start(const std::vector<std::filesystem::path>& folders);
    // Shows the folder; one that cannot be read leaves the list as it was and says why in the
    // status line. False then.
    bool changeFolder(const std::filesystem::path& folder);
    const PatchFolderList& list() const { return m_list; }
    const std::filesystem::path& folder() const { return m_list.folder(); }

    // A double-click on the entry.
    void openEntry(std::size_t index);
    // The file of the entry that a drag carries; nothing for a folder entry or a file gone.
    std::optional<std::filesystem::path> clipAt(std::size_t index) const;

private:
    Performance& m_performance;
    SlotGrid& m_grid;
    PatchFolderList m_list;
};

} // namespace oskel
