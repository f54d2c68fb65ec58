// The clip slot grid's drag and drop: files loaded into the panel they are dropped on, and
// one slot copied onto another.
#include <system_error>

#include "control/slot_grid_logic.h"
#include "core/slot_sound.h"
#include "core/status_text.h"
#include "platform/memory_status.h"

namespace oskel {

bool SlotGrid::canStartDrag(int sourceTag)
{
    return isValidSlot(sourceTag) || sourceTag == slot_grid::kFileListTag;
}

void SlotGrid::dropFiles(const std::vector<std::filesystem::path>& files, int x, int y)
{
    const std::optional<int> slot = slot_grid::slotAtPoint(x, y);
    GlobalState& globals = m_performance.globals();
    if (!slot || globals.loadingBusy) {
        return;
    }
    bool first = true;
    for (const std::filesystem::path& file : files) {
        // The previous file's load may still wait for its textures; this one replaces it.
        if (!first) {
            globals.loadingBusy = false;
        }
        first = false;
        loadDroppedFile(*slot, file);
    }
}

void SlotGrid::dropFileListSelection(int slot, const std::filesystem::path& file)
{
    if (isValidSlot(slot)) {
        loadDroppedFile(slot, file);
    }
}

bool SlotGrid::loadDroppedFile(int slot, const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return false; // folders and vanished files: nothing to load
    }
    GlobalState& globals = m_performance.globals();
    UserInterfacePort& ui = m_performance.ui();
    ui.setStatusText("Loading Clip ...");
    const bool keep = m_performance.slot(slot).Loaded && globals.LoadClipsKeepSettings;
    // The loader selects the slot it loads; the inspector follows when nothing was selected.
    const bool noneSelected = !isValidSlot(globals.selectedSlot);
    const bool loaded = m_loader.LoadClipIntoSlot(slot, file, globals.LoadClipsInSyncMode, keep);
    if (loaded) {
        if (noneSelected) {
            m_inspector.showAVIinfo(slot);
        }
        for (int other = 1; other <= kSlotCount; ++other) {
            globals.slotTexturePending.at(static_cast<std::size_t>(other)) = other == slot;
        }
        globals.texturesPending = true;
    }
    ui.setStatusText(readyStatusText(availableMemoryBytes(), globals.clipNotice));
    if (loaded) {
        m_loader.rememberFolder(file);
        m_targets->bringApplicationToFront();
    }
    return loaded;
}

void SlotGrid::dropSlot(int fromSlot, int toSlot, CopyMode mode)
{
    if (!isValidSlot(fromSlot) || !isValidSlot(toSlot)) {
        return;
    }
    if (fromSlot == toSlot) {
        panelClick(fromSlot);
        return;
    }
    if (!m_performance.slot(fromSlot).Loaded) {
        return;
    }
    if (mode == CopyMode::SettingsOnly) {
        if (!m_performance.slot(toSlot).Loaded) {
            return;
        }
        copySettings(fromSlot, toSlot);
    } else {
        if (!loadCopiedClip(fromSlot, toSlot)) {
            return;
        }
        if (mode == CopyMode::ClipWithSettings) {
            copySettings(fromSlot, toSlot);
        }
    }
    m_restartSyncSlots(false);
    m_inspector.showAVIinfo(toSlot);
}

bool SlotGrid::loadCopiedClip(int fromSlot, int toSlot)
{
    const TPlayAvistruct& source = m_performance.slot(fromSlot);
    TPlayAvistruct& target = m_performance.slot(toSlot);
    stopIfPlaying(toSlot);
    target.SourceSystem = source.SourceSystem;
    target.SourceMode = source.SourceMode;
    const bool keep = target.Loaded && m_performance.globals().LoadClipsKeepSettings;
    // The loader replaces the target's file name, which may be the one being copied.
    const std::filesystem::path file = source.FileName.str();
    m_targets->pauseMidiInput();
    const bool loaded = m_loader.LoadClipIntoSlot(toSlot, file, source.InstallationMode, keep);
    m_targets->resumeMidiInput();
    return loaded;
}

void SlotGrid::copySettings(int fromSlot, int toSlot)
{
    if (!m_performance.CopyParams(fromSlot, toSlot)) {
        return;
    }
    // The renderer makes the target's textures again, for its new luma and stencil state.
    m_performance.slot(toSlot).TextureDirty = true;
    m_targets->copyEffectSetup(fromSlot, toSlot);
    slot_grid::showStatusButtons(m_performance.ui(), toSlot, m_performance.slot(toSlot));
}

void SlotGrid::stopIfPlaying(int slot)
{
    TPlayAvistruct& record = m_performance.slot(slot);
    if (!record.Playing) {
        return;
    }
    StopSlotSound(record);
    record.Playing = false;
    m_performance.SlotStatusColour(slot, SlotState::Stopped);
}

} // namespace oskel
