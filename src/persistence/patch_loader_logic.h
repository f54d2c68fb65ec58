#pragma once

#include <functional>

#include "persistence/auto_patch_loader.h"
#include "persistence/console_mode.h"
#include "persistence/patch_explorer.h"

namespace oskel {

// The logic behind the patch explorer, the auto patch and the console controls, wired
// together: changing the folder stops auto loading, and a patch that MIDI chooses shows as
// "Loading n" in console mode. The windows call the parts directly.
class PatchLoaderLogic {
public:
    struct Parts {
        Performance& performance;
        EventSink& events;
        PatchLoaderPort& loader;
        PatchExplorerView& view;
        MainThreadTimers& clock;
        // Clears the MIDI input-enabled flag before a load that MIDI chose; may be empty.
        std::function<void()> pauseMidiInput;
    };

    explicit PatchLoaderLogic(Parts parts);
    PatchLoaderLogic(const PatchLoaderLogic&) = delete;
    PatchLoaderLogic& operator=(const PatchLoaderLogic&) = delete;

    // Start-up: the patch folder and its list, and the auto interval.
    void init(const PatchFolderSources& sources);

    PatchExplorer& explorer() { return m_explorer; }
    AutoPatchLoader& autoLoader() { return m_auto; }
    ConsoleMode& console() { return m_console; }

private:
    PatchExplorer m_explorer;
    AutoPatchLoader m_auto;
    ConsoleMode m_console;
};

} // namespace oskel
