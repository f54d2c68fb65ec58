#pragma once

#include <chrono>
#include <filesystem>
#include <functional>

#include "persistence/patch_explorer_view.h"
#include "persistence/patch_loader_logic.h"

namespace oskel {

// The patch explorer, auto patch loading and console mode of an instrument, with the
// main-thread timers they run on and the view the windows attach. Main thread.
class InstrumentPatches : private PatchLoaderPort {
public:
    struct Links {
        Performance& performance;
        EventSink& events;
        std::function<void(const std::filesystem::path&, bool throughMidi)> loadPatch;
        std::function<bool(int slot, const std::filesystem::path&)> loadClip;
        // Before a patch that MIDI chose loads: MIDI input is held back until it is loaded.
        std::function<void()> pauseMidiInput;
    };

    explicit InstrumentPatches(Links links);

    // After the settings are read: the patch folder, its list and the auto interval.
    void init(const PatchFolderSources& sources);
    // The timers fire what is due; the main loop calls this often (every few tens of ms).
    void advanceTimers();

    // The windows show the explorer here while they are open; null detaches them.
    void attachView(PatchExplorerView* view);

    PatchLoaderLogic& logic() { return m_logic; }
    ConsoleMode& console() { return m_logic.console(); }
    PatchExplorer& explorer() { return m_logic.explorer(); }

private:
    // Hands every call to the attached view, or to nothing.
    class ViewRelay : public PatchExplorerView {
    public:
        PatchExplorerView* target = nullptr;
        void showPatchList(const PatchFolderList& list) override;
        void selectPatchEntry(std::size_t index) override;
        void showAutoPatchInterval(int minutes) override;
        void showAutoPatchStatus(std::string_view text) override;
        void showConsoleActive(std::string_view text, SlotColour colour) override;
        void showConsoleState(std::string_view text) override;
        void showPatchExplorerTabs() override;
    };

    void loadPatch(const std::filesystem::path& file, bool throughMidi) override;
    bool loadClip(int slot, const std::filesystem::path& file) override;

    Links m_links;
    ViewRelay m_view;
    MainThreadTimers m_timers;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    PatchLoaderLogic m_logic;
};

} // namespace oskel
