#include "control/slot_grid_logic.h"

#include <string>

#include "core/control_names.h"
#include "core/control_table.h"
#include "core/trigger_event.h"

namespace oskel {

namespace {
using namespace event_code;
constexpr std::size_t kFollowBpm = controlIndex(ControlScope::Slot, "FollowBpm");
constexpr std::size_t kThreeD = controlIndex(ControlScope::Slot, "ThreeD");
constexpr std::size_t kSyncMode = controlIndex(ControlScope::Slot, "SyncMode");
} // namespace

SlotGrid::SlotGrid(Links links)
    : m_performance(links.performance)
    , m_events(links.events)
    , m_loader(links.loader)
    , m_tempo(links.tempo)
    , m_mixer(links.mixer)
    , m_inspector(links.inspector)
    , m_targets(&links.targets)
    , m_restartSyncSlots(std::move(links.restartSyncSlots))
{
}

void SlotGrid::showCaptions()
{
    const slot_grid::CaptionMode mode = slot_grid::captionMode(m_performance.options());
    const KeyboardLayout layout = m_performance.globals().keyLetters.layout();
    UserInterfacePort& ui = m_performance.ui();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        ui.showControlValue(slot_grid::cloneName("lbKey", slot),
            std::string(slot_grid::slotCaption(mode, layout, slot)));
    }
    m_targets->setLayerCaptionStyle(mode);
    ui.showControlValue(control::kInspectorRefresh, true);
    m_mixer.refreshSides();
}

void SlotGrid::RefreshProgress()
{
    UserInterfacePort& ui = m_performance.ui();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const TPlayAvistruct& record = m_performance.slot(slot);
        if (record.Playing) {
            const int width = slot_grid::progressWidth(record.CurrentFrame, record.FrameCount);
            ui.showControlValue(slot_grid::cloneName("imgProgress", slot), std::int64_t { width });
        }
    }
}

void SlotGrid::RefreshStatusButtons()
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        slot_grid::showStatusButtons(m_performance.ui(), slot, m_performance.slot(slot));
    }
}

void SlotGrid::panelClick(int slot)
{
    if (!isValidSlot(slot)) {
        return;
    }
    if (m_performance.slot(slot).Loaded) {
        m_inspector.showAVIinfo(slot);
    } else {
        m_targets->openClipDialog(slot);
    }
}

void SlotGrid::thumbnailRightButtonDown(int slot)
{
    if (isValidSlot(slot)) {
        m_targets->openClipDialog(slot);
    }
}

void SlotGrid::playClick(int slot)
{
    if (isValidSlot(slot)) {
        m_events.ProcessEvent(triggerEventFor(slot, m_performance.slot(slot)));
    }
}

void SlotGrid::pauseClick(int slot)
{
    if (!isValidSlot(slot)) {
        return;
    }
    const TPlayAvistruct& record = m_performance.slot(slot);
    const bool pause = record.Loaded && !record.Paused;
    m_events.ProcessEvent(TSlotEvent { kPause, pause ? 1 : 0, 0, slot });
}

void SlotGrid::stopClick(int slot)
{
    if (isValidSlot(slot)) {
        m_events.ProcessEvent(TSlotEvent { kRelease, 0, 0, slot });
    }
}

void SlotGrid::statusButtonClick(int slot, slot_grid::StatusButton button)
{
    if (!isValidSlot(slot) || !m_performance.slot(slot).Loaded) {
        return;
    }
    const TPlayAvistruct& record = m_performance.slot(slot);
    switch (button) {
    case slot_grid::StatusButton::Bpm:
        setControl(
            m_events, m_performance, slotControl(kFollowBpm, slot), record.FollowBPM ? 0 : 1);
        break;
    case slot_grid::StatusButton::Effect:
        m_targets->toggleEffect(slot);
        break;
    case slot_grid::StatusButton::Sync:
        setSyncMode(slot, !record.InstallationMode);
        break;
    case slot_grid::StatusButton::ThreeD:
        setControl(m_events, m_performance, slotControl(kThreeD, slot), record.BillBoard ? 0 : 1);
        break;
    }
    slot_grid::showStatusButtons(m_performance.ui(), slot, record);
    showInspectorButton(slot, button);
}

// Sync mode runs a slot hidden and muted until its trigger shows it.
void SlotGrid::setSyncMode(int slot, bool on)
{
    setControl(m_events, m_performance, slotControl(kSyncMode, slot), on ? 1 : 0);
    if (m_inspector.inspectedSlot() == slot) {
        m_performance.ui().showControlValue(control::kMute, false);
    }
}

void SlotGrid::showInspectorButton(int slot, slot_grid::StatusButton button)
{
    if (m_inspector.inspectedSlot() != slot) {
        return;
    }
    static constexpr std::string_view kInspectorButtons[] = { control::kFollowBpm,
        control::kEnableEffect, control::kSlotSyncMode, control::kEnable3D };
    const auto index = static_cast<std::size_t>(button);
    m_performance.ui().showControlValue(
        kInspectorButtons[index], slot_grid::statusButtonOn(m_performance.slot(slot), button));
}

} // namespace oskel
