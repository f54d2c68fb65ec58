#include "control/crossfade_mixer.h"

#include <algorithm>
#include <string>

#include "control/slot_grid_layout.h"
#include "core/control_names.h"
#include "core/control_table.h"
#include "core/trigger_event.h"

namespace oskel {

namespace {
using namespace event_code;
constexpr std::int32_t kFullVolume = 0;
constexpr std::int32_t kOpaque = 0;
} // namespace

CrossfadeMixer::CrossfadeMixer(
    Performance& performance, EventSink& events, ClipInspectorPort& inspector)
    : m_performance(performance)
    , m_events(events)
    , m_inspector(inspector)
{
}

int CrossfadeMixer::slotOfSide(int side) const
{
    if (side == kSideA) {
        return slotA();
    }
    return side == kSideB ? slotB() : 0;
}

void CrossfadeMixer::setCrossFadeA(int slot)
{
    assign(kSideA, slot);
}

void CrossfadeMixer::setCrossFadeB(int slot)
{
    assign(kSideB, slot);
}

void CrossfadeMixer::assign(int side, int slot)
{
    if (!isValidSlot(slot)) {
        return;
    }
    set(side == kSideA ? kSideAControl : kSideBControl, slot);
    showSide(side);
}

void CrossfadeMixer::refreshSides()
{
    showSide(kSideA);
    showSide(kSideB);
    sendCrossfade();
}

void CrossfadeMixer::showSide(int side)
{
    const int slot = slotOfSide(side);
    if (!isValidSlot(slot)) {
        return;
    }
    const Options& options = m_performance.options();
    const std::string_view letter = slot_grid::slotCaption(
        slot_grid::captionMode(options), m_performance.globals().keyLetters.layout(), slot);
    UserInterfacePort& ui = m_performance.ui();
    ui.showControlValue(side == kSideA ? control::kCrossfadeLetterA : control::kCrossfadeLetterB,
        std::string(letter));
    if (m_performance.slot(slot).Loaded) {
        ui.showControlValue(
            side == kSideA ? control::kCrossfadePreviewA : control::kCrossfadePreviewB,
            std::int64_t { slot });
    }
}

void CrossfadeMixer::sendCrossfade()
{
    if (enabled()) {
        m_events.ProcessEvent(TSlotEvent { kCrossfade, position(), slotB(), slotA() });
    }
}

void CrossfadeMixer::set(const ControlAddress& control, std::int32_t value)
{
    setControl(m_events, m_performance, control, value);
}

void CrossfadeMixer::send(std::uint8_t code, std::int32_t value, std::int32_t slot)
{
    if (isValidSlot(slot)) {
        m_events.ProcessEvent(TSlotEvent { code, value, 0, slot });
    }
}

void CrossfadeMixer::sbCrossFadeChange(int position)
{
    set(kPositionControl, std::clamp(position, 0, kMaxPosition));
}

void CrossfadeMixer::cbCrossFadeEnableClick(bool on)
{
    set(kEnableControl, on ? 1 : 0);
}

void CrossfadeMixer::toggleEnable()
{
    cbCrossFadeEnableClick(!enabled());
}

void CrossfadeMixer::cbCFVideoClick(bool on)
{
    set(masterControl("CrossfadeVideo"), on ? 1 : 0);
}

void CrossfadeMixer::cbCFAudioClick(bool on)
{
    set(masterControl("CrossfadeAudio"), on ? 1 : 0);
}

void CrossfadeMixer::TransformDown(int side)
{
    const int slot = slotOfSide(side);
    const GlobalState& globals = m_performance.globals();
    if (globals.CrossfadeAudio) {
        send(kVolume, kFullVolume, slot);
    }
    if (globals.CrossfadeVideo) {
        send(kTransparency, kOpaque, slot);
    }
}

void CrossfadeMixer::TransformRelease(int side)
{
    if (side == kSideA || side == kSideB) {
        sendCrossfade();
    }
}

void CrossfadeMixer::bResetClipsClick()
{
    send(kVolume, kFullVolume, slotA());
    send(kVolume, kFullVolume, slotB());
    send(kTransparency, kOpaque, slotA());
    send(kTransparency, kOpaque, slotB());
}

void CrossfadeMixer::tbCFscratchAChange(int position)
{
    scratch(slotA(), position);
}

void CrossfadeMixer::tbCFscratchBChange(int position)
{
    scratch(slotB(), position);
}

void CrossfadeMixer::scratch(int slot, int position)
{
    send(kScratch, std::clamp(position, 0, kMaxScratch), slot);
}

void CrossfadeMixer::CFpreviewClick(int side)
{
    const int slot = slotOfSide(side);
    if (isValidSlot(slot)) {
        m_inspector.showAVIinfo(slot);
    }
}

void CrossfadeMixer::CFpreviewDblClick(int side)
{
    const int slot = slotOfSide(side);
    if (isValidSlot(slot)) {
        m_events.ProcessEvent(triggerEventFor(slot, m_performance.slot(slot)));
    }
}

} // namespace oskel
