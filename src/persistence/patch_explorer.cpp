#include "persistence/patch_explorer.h"

namespace oskel {
namespace fs = std::filesystem;

fs::path choosePatchFolder(const PatchFolderSources& sources)
{
    if (!sources.patchSetting.empty()) {
        const fs::path patch(sources.patchSetting);
        if (isRegularFile(patch)) {
            return plainFolder(patch).parent_path();
        }
    }
    return isFolder(sources.clipFolder) ? sources.clipFolder : sources.programFolder;
}

PatchExplorer::PatchExplorer(
    PatchLoaderPort& loader, PatchExplorerView& view, UserInterfacePort& ui)
    : m_loader(loader)
    , m_view(view)
    , m_ui(ui)
{
}

void PatchExplorer::init(const PatchFolderSources& sources)
{
    PatchFolderList list = PatchFolderList::read(choosePatchFolder(sources));
    if (!list.readable()) {
        list = PatchFolderList::read(sources.programFolder);
    }
    show(std::move(list));
}

void PatchExplorer::refresh()
{
    show(PatchFolderList::read(folder()));
}

void PatchExplorer::changeFolder(const fs::path& folder)
{
    if (m_hooks.folderChanging) {
        m_hooks.folderChanging();
    }
    PatchFolderList list = PatchFolderList::read(folder);
    if (!list.readable()) {
        m_ui.setStatusText(list.problem());
        return;
    }
    show(std::move(list));
}

void PatchExplorer::openEntry(std::size_t index)
{
    const auto opened = m_list.opened(index);
    if (!opened) {
        return;
    }
    if (opened->kind == PatchEntryKind::Patch) {
        loadEntry(index, false);
    } else {
        changeFolder(opened->path);
    }
}

bool PatchExplorer::loadPatchByIndex(int n)
{
    if (n < 0) {
        return false;
    }
    const std::size_t index = m_list.firstPatchOffset() + static_cast<std::size_t>(n);
    if (index >= m_list.size()) {
        return false;
    }
    if (m_hooks.pauseMidiInput) {
        m_hooks.pauseMidiInput();
    }
    if (m_hooks.midiLoadStarting) {
        m_hooks.midiLoadStarting(n + 1);
    }
    m_loader.loadPatch(*m_list.pathAt(index), true);
    m_view.selectPatchEntry(index);
    return true;
}

bool PatchExplorer::loadEntry(std::size_t index, bool throughMidi)
{
    const auto patch = m_list.patchAt(index);
    if (!patch) {
        return false;
    }
    m_loader.loadPatch(*patch, throughMidi);
    return true;
}

void PatchExplorer::show(PatchFolderList list)
{
    m_list = std::move(list);
    if (!m_list.problem().empty()) {
        m_ui.setStatusText(m_list.problem());
    }
    m_view.showPatchList(m_list);
}

} // namespace oskel
