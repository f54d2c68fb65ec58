#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "core/user_interface_port.h"
#include "persistence/patch_explorer_view.h"
#include "persistence/patch_folder_list.h"
#include "persistence/patch_loader_port.h"

namespace oskel {

// Where the patch folder may come from at start-up.
struct PatchFolderSources {
    std::string patchSetting; // the last patch file (settings "Files" "Patch")
    std::filesystem::path clipFolder; // the "video clips" folder
    std::filesystem::path programFolder; // the program's data folder: the last resort
};

// The folder of the last patch when that file exists; otherwise the clip folder when it
// exists; otherwise the program folder.
std::filesystem::path choosePatchFolder(const PatchFolderSources& sources);

// The patch folder and its list, and the loads chosen from it: by a double-click, by
// position for MIDI, and by entry for auto loading.
class PatchExplorer {
public:
    // Who else must hear of what the explorer does; any may be empty.
    struct Hooks {
        // Before the performer changes the folder: auto loading stops.
        std::function<void()> folderChanging;
        // Before a load that MIDI chose: clears the MIDI input-enabled flag, which clip
        // loading sets again.
        std::function<void()> pauseMidiInput;
        // A load that MIDI chose starts; `number` counts list positions from 1.
        std::function<void(int number)> midiLoadStarting;
    };

    PatchExplorer(PatchLoaderPort& loader, PatchExplorerView& view, UserInterfacePort& ui);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // Chooses the folder at start-up and shows its list.
    void init(const PatchFolderSources& sources);
    const std::filesystem::path& folder() const { return m_list.folder(); }
    const PatchFolderList& list() const { return m_list; }
    // Reads the folder again.
    void refresh();

    // The performer picks another folder. A folder that is missing or cannot be read leaves
    // the folder as it was; the status line says why.
    void changeFolder(const std::filesystem::path& folder);
    // A double-click: a patch file loads, a folder or the parent entry opens.
    void openEntry(std::size_t index);
    // The patch at list position first-patch offset + n (n from 0), through MIDI. False
    // when that lies beyond the list: nothing happens then.
    bool loadPatchByIndex(int n);
    // Loads the list entry as a patch; false when it is not an existing patch file.
    bool loadEntry(std::size_t index, bool throughMidi);

private:
    void show(PatchFolderList list);

    PatchLoaderPort& m_loader;
    PatchExplorerView& m_view;
    UserInterfacePort& m_ui;
    Hooks m_hooks;
    PatchFolderList m_list;
};

} // namespace oskel
