#include "control/multiple_clips.h"

#include <utility>

#include "core/status_text.h"
#include "platform/memory_status.h"

namespace oskel {

MultipleClips::MultipleClips(
    Performance& performance, ClipLoader& loader, std::function<void(bool hide)> restartSyncSlots)
    : m_performance(performance)
    , m_loader(loader)
    , m_restartSyncSlots(std::move(restartSyncSlots))
{
}

int slotForNewClip(const Performance& performance)
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!performance.slots()[slot].Loaded) {
            return slot;
        }
    }
    return 1;
}

void MultipleClips::choosing()
{
    m_performance.ui().setStatusText(kChoosingStatus);
}

void MultipleClips::chosen(const std::vector<std::filesystem::path>& files, bool replace)
{
    if (files.empty()) {
        return; // a cancelled chooser keeps the list
    }
    if (replace) {
        m_entries.clear();
    }
    GlobalState& globals = m_performance.globals();
    for (const std::filesystem::path& file : files) {
        m_entries.push_back(ClipLoader::Entry { file, globals.LoadClipsInSyncMode });
    }
    globals.lastClipPath = files.back().string();
}

void MultipleClips::setTicked(std::size_t entry, bool ticked)
{
    if (entry < m_entries.size()) {
        m_entries[entry].syncMode = ticked;
    }
}

// An empty list clears no slot: "Done" without clips must not empty the performance.
void MultipleClips::done()
{
    if (m_entries.empty()) {
        cancel();
        return;
    }
    const std::vector<ClipLoader::Entry> entries = std::exchange(m_entries, {});
    m_loader.loadMultipleClips(entries);
}

void MultipleClips::cancel()
{
    m_entries.clear();
    m_performance.ui().setStatusText(readyStatusText(availableMemoryBytes()));
    if (m_restartSyncSlots) {
        m_restartSyncSlots(true);
    }
}

} // namespace oskel
