#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <vector>

#include "core/performance.h"
#include "playback/clip_loader.h"

namespace oskel {

// The logic of the window "Load Multiple Clips": a list of clip files, each with its "Sync
// Mode" tick, chosen afresh or added to, then loaded into slots 1, 2, ... on "Done" (every
// loaded slot cleared first, at most sixteen clips). Main thread.
class MultipleClips {
public:
    MultipleClips(Performance& performance, ClipLoader& loader,
        std::function<void(bool hide)> restartSyncSlots);

    // "Choose Clips" (`replace`) and "Add More Clips": the chosen files become or join the
    // list, ticked when the main window's sync mode is on; the last is remembered as the last
    // clip. Before the chooser opens, `choosing` shows what is happening.
    void choosing();
    void chosen(const std::vector<std::filesystem::path>& files, bool replace);
    void setTicked(std::size_t entry, bool ticked);
    const std::vector<ClipLoader::Entry>& entries() const { return m_entries; }

    // "Done": the clips load; the list is emptied. With no clips listed it is "Cancel".
    void done();
    // "Cancel" or the window closed: the list is emptied and nothing loads.
    void cancel();

    static constexpr const char* kChoosingStatus = "Loading Multiple Clips ... ";

private:
    Performance& m_performance;
    ClipLoader& m_loader;
    std::function<void(bool hide)> m_restartSyncSlots;
    std::vector<ClipLoader::Entry> m_entries;
};

// Where a clip opened on its own goes: the first slot that holds no clip, or slot 1 when every
// slot holds one.
int slotForNewClip(const Performance& performance);

} // namespace oskel
