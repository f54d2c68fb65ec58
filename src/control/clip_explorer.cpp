#include "control/clip_explorer.h"

#include "control/multiple_clips.h"
#include "control/slot_grid_logic.h"

namespace oskel {

ClipExplorer::ClipExplorer(Performance& performance, SlotGrid& grid)
    : m_performance(performance)
    , m_grid(grid)
{
}

void ClipExplorer::start(const std::vector<std::filesystem::path>& folders)
{
    for (const std::filesystem::path& folder : folders) {
        PatchFolderList list = PatchFolderList::read(folder, PatchFolderList::Files::Any);
        if (list.readable()) {
            m_list = std::move(list);
            return;
        }
    }
}

bool ClipExplorer::changeFolder(const std::filesystem::path& folder)
{
    PatchFolderList list = PatchFolderList::read(folder, PatchFolderList::Files::Any);
    if (!list.readable()) {
        m_performance.ui().setStatusText(list.problem());
        return false;
    }
    m_list = std::move(list);
    return true;
}

void ClipExplorer::openEntry(std::size_t index)
{
    const auto opened = m_list.opened(index);
    if (!opened) {
        return;
    }
    if (opened->kind != PatchEntryKind::Patch) {
        changeFolder(opened->path);
    } else if (const auto clip = clipAt(index)) {
        m_grid.dropFileListSelection(slotForNewClip(m_performance), *clip);
    }
}

std::optional<std::filesystem::path> ClipExplorer::clipAt(std::size_t index) const
{
    const auto path = m_list.pathAt(index);
    if (!path || m_list.entries()[index].kind != PatchEntryKind::Patch || !isRegularFile(*path)) {
        return std::nullopt;
    }
    return path;
}

} // namespace oskel
