#include "core/performance.h"

#include <chrono>

#include "core/copy_params.h"
#include "core/slot_reset.h"
#include "core/slot_rules.h"
#include "core/slot_status.h"
#include "core/stencil_loader.h"

namespace oskel {

namespace {
constexpr std::uint8_t kCloseFailed = 254;
constexpr auto kFrameAckStep = std::chrono::milliseconds(10);
} // namespace

Performance::Performance(UserInterfacePort& ui, MainThreadDispatcher& mainThread)
    : m_ui(ui)
    , m_mainThread(mainThread)
{
}

void Performance::copyLiveToSnapshot()
{
    m_snapshot = m_live;
}

void Performance::resetAllSlots(bool keepSettings)
{
    for (auto& record : m_live) {
        ResetSlot(record, keepSettings, m_globals.DefaultBeatsPerClip);
    }
}

void Performance::waitForFrameAck(TPlayAvistruct& record)
{
    record.FrameAck = false;
    record.Playing = false;
    // The frame thread's pass may be blocked in a call onto this thread, so keep serving.
    while (!record.FrameAck && m_threads->frameThreadRunning()) {
        m_mainThread.serveFor(kFrameAckStep);
    }
}

void Performance::closeSource(TPlayAvistruct& record)
{
    if (!record.Source) {
        return;
    }
    try {
        record.Source->close();
    } catch (...) {
        record.LoadResult = kCloseFailed;
    }
    record.Source.reset();
}

void Performance::UnloadSlot(int slot, bool keepSettings)
{
    if (!isValidSlot(slot)) {
        return;
    }
    TPlayAvistruct& record = m_live[slot];
    if (record.FrameCount > 0 && m_threads != nullptr && m_threads->audioThreadExists()) {
        waitForFrameAck(record);
    }
    // The slot's plug-in instance goes with its clip.
    m_effects->choosePlugin(slot, 0);
    record.Loaded = false;
    record.LoadResult = 0;
    closeSource(record);
    record.ForwardBuffer.reset();
    record.BackwardBuffer.reset();
    record.FileName.clear();
    m_ui.blankThumbnail(slot);

    // The reset clears the load result; a failed close stays on record.
    const std::uint8_t closeResult = record.LoadResult;
    ResetSlot(record, keepSettings, m_globals.DefaultBeatsPerClip);
    record.LoadResult = closeResult;
    slot_grid::showStatusButtons(m_ui, slot, record);
}

bool Performance::CopyParams(int sourceSlot, int targetSlot)
{
    if (!oskel::CopyParams(m_live, sourceSlot, targetSlot)) {
        return false;
    }
    if (m_renderer != nullptr) {
        m_renderer->SetSlotBurn(targetSlot, m_live[targetSlot].Burn);
    }
    return true;
}

void Performance::setSlotBurn(int slot, bool burn)
{
    if (m_renderer != nullptr) {
        m_renderer->SetSlotBurn(slot, burn);
    } else {
        m_live[slot].Burn = burn;
    }
}

void Performance::selectSlot(int slot)
{
    if (!isValidSlot(slot) && slot != kNoSlot) {
        return;
    }
    const int previous = m_globals.selectedSlot;
    if (isValidSlot(previous)) {
        m_ui.setSlotLetterBackground(previous, SlotColour::Black);
    }
    m_globals.selectedSlot = slot;
    if (isValidSlot(slot)) {
        m_ui.setSlotLetterBackground(slot, SlotColour::Blue);
    }
}

void Performance::SlotStatusColour(int slot, SlotState state)
{
    if (!isValidSlot(slot)) {
        return;
    }
    SlotColour colour = SlotColour::Black;
    switch (state) {
    case SlotState::Stopped:
        colour = SlotColour::Black;
        break;
    case SlotState::Playing:
        colour = m_globals.Loop ? SlotColour::Green : SlotColour::Red;
        break;
    case SlotState::SyncMuted:
        colour = SlotColour::White;
        break;
    case SlotState::SyncShown:
        colour = SlotColour::Lime;
        break;
    case SlotState::Lost:
        colour = SlotColour::Blue;
        break;
    }
    m_ui.setSlotStatusColour(slot, colour);
}

void Performance::CentreSlot(int slot)
{
    if (!isValidSlot(slot) || !m_live[slot].Loaded || m_events == nullptr) {
        return;
    }
    const MovePosition position = centredPosition(m_live[slot]);
    m_events->ProcessEvent(TSlotEvent { event_code::kMove, position.x, position.y, slot });
}

void Performance::CentreAllSlots()
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        CentreSlot(slot);
    }
}

bool Performance::LoadStencil(int slot, const std::filesystem::path& path)
{
    if (!isValidSlot(slot) || !m_live[slot].Loaded) {
        return false;
    }
    TPlayAvistruct& record = m_live[slot];
    const StencilLoadResult result = loadStencilMask(path, record.ClipWidth, record.ClipHeight);
    if (!result.ok()) {
        m_ui.showMessage(result.message);
        return false;
    }
    record.StencilFileName = path.string();
    record.StencilMask = result.mask;
    record.StencilWidth = record.ClipWidth;
    record.StencilHeight = record.ClipHeight;
    m_ui.showControlValue(kStencilNameControl, path.string());
    return true;
}

} // namespace oskel
