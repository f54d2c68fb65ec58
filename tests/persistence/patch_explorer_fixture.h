#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/event_processor.h"
#include "persistence/patch_folder_list.h"
#include "persistence/patch_loader_logic.h"
#include "support/fake_playback.h"
#include "support/recording_event_sink.h"
#include "support/recording_user_interface.h"
#include "support/temp_dir.h"

namespace oskel::test {

class RecordingLoader : public PatchLoaderPort {
public:
    struct PatchLoad {
        std::filesystem::path file;
        bool throughMidi;
        bool operator==(const PatchLoad&) const = default;
    };
    struct ClipLoad {
        int slot;
        std::filesystem::path file;
        bool operator==(const ClipLoad&) const = default;
    };
    std::vector<PatchLoad> patches;
    std::vector<ClipLoad> clips;

    void loadPatch(const std::filesystem::path& file, bool throughMidi) override
    {
        patches.push_back({ file, throughMidi });
    }
    bool loadClip(int slot, const std::filesystem::path& file) override
    {
        clips.push_back({ slot, file });
        return true;
    }
    // The file names of the patches loaded so far, forgetting them.
    std::vector<std::string> takeNames()
    {
        std::vector<std::string> names;
        for (const PatchLoad& load : patches) {
            names.push_back(load.file.filename().string());
        }
        patches.clear();
        return names;
    }
};

class RecordingView : public PatchExplorerView {
public:
    std::vector<std::string> captions; // the list last shown
    std::filesystem::path folder;
    std::vector<std::size_t> selected;
    std::vector<int> intervals;
    std::vector<std::string> autoStatus;
    std::vector<std::pair<std::string, SlotColour>> consoleActive;
    std::vector<std::string> consoleStates;
    int tabsShown = 0;

    void showPatchList(const PatchFolderList& list) override
    {
        folder = list.folder();
        captions.clear();
        for (const PatchListEntry& entry : list.entries()) {
            captions.push_back(entry.caption);
        }
    }
    void selectPatchEntry(std::size_t index) override { selected.push_back(index); }
    void showAutoPatchInterval(int minutes) override { intervals.push_back(minutes); }
    void showAutoPatchStatus(std::string_view text) override { autoStatus.emplace_back(text); }
    void showConsoleActive(std::string_view text, SlotColour colour) override
    {
        consoleActive.emplace_back(text, colour);
    }
    void showConsoleState(std::string_view text) override { consoleStates.emplace_back(text); }
    void showPatchExplorerTabs() override { ++tabsShown; }
};

inline void touch(const std::filesystem::path& file)
{
    std::ofstream { file };
}

// A patch folder in a temporary folder, the whole patch loader logic over it, and an event
// processor that carries out the control-table settings the logic sends; the other events
// are recorded. The clock stands still until a test moves it.
class PatchExplorerFixture : public ::testing::Test {
protected:
    PatchExplorerFixture() { events.applyControlsWith(processor); }

    // Makes the patch folder hold these empty files and shows it.
    void usePatches(const std::vector<std::string>& names)
    {
        std::filesystem::create_directories(patchFolder);
        for (const std::string& name : names) {
            touch(patchFolder / name);
        }
        logic.init({ "", patchFolder, root.path() });
    }

    TempDir root;
    std::filesystem::path patchFolder = root / "video clips";
    RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    AudioMailbox mailbox;
    FakePlayback playback;
    EventProcessor processor { performance, mailbox, playback };
    RecordingEventSink events;
    RecordingLoader loader;
    RecordingView view;
    MainThreadTimers clock;
    int midiPauses = 0;
    PatchLoaderLogic logic { { performance, events, loader, view, clock,
        [this] { ++midiPauses; } } };
};

} // namespace oskel::test
