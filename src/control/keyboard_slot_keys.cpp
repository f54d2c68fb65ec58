// The keys that act on the selected slot's record: in and out points at the play position,
// 3D, rotation and stencil.
#include <algorithm>
#include <limits>

#include "control/keyboard_control.h"
#include "control/slot_grid_layout.h"
#include "core/control_names.h"
#include "platform/sound_buffer.h"

namespace oskel {

namespace {

using namespace event_code;

constexpr std::size_t kThreeD = controlIndex(ControlScope::Slot, "ThreeD");
constexpr std::size_t kStencil = controlIndex(ControlScope::Slot, "Stencil");
constexpr std::size_t kResetRotation = controlIndex(ControlScope::Slot, "ResetRotation");
constexpr std::size_t kResetRotationAndSpeeds
    = controlIndex(ControlScope::Slot, "ResetRotationAndSpeeds");

// Where the slot plays, as a position in the forward buffer. Throws SoundError(message) when
// the play cursor cannot be read.
std::int64_t playPosition(const TPlayAvistruct& record, const char* message)
{
    const bool forwards = record.Direction == 1;
    const auto& buffer = forwards ? record.ForwardBuffer : record.BackwardBuffer;
    if (!buffer) {
        throw SoundError(message);
    }
    try {
        const std::int64_t cursor = buffer->playCursor();
        return forwards ? cursor : record.Length - cursor;
    } catch (const SoundError&) {
        throw SoundError(message);
    }
}

std::int32_t eventPosition(std::int64_t position)
{
    // Beyond 32 bits it lies outside any clip, and the event refuses it.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(position,
        std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

void KeyboardControl::setPointAtPlayPosition(bool inPoint)
{
    if (!selectedSlotLoaded()) {
        return;
    }
    const int slot = selectedSlot();
    const std::int64_t position = playPosition(m_performance.slot(slot),
        inPoint ? "Could not get audio position in Set InPoint"
                : "Could not get audio position in Set OutPoint");
    send(inPoint ? kInPoint : kOutPoint, eventPosition(position), 0, slot);
}

void KeyboardControl::wholeClip()
{
    if (!selectedSlotLoaded()) {
        return;
    }
    const int slot = selectedSlot();
    send(kInPoint, 0, 0, slot);
    send(kOutPoint, eventPosition(m_performance.slot(slot).Length), 0, slot);
}

void KeyboardControl::toggleThreeD(int slot)
{
    if (m_performance.slot(slot).Loaded) {
        toggle(slotControl(kThreeD, slot));
        slot_grid::showStatusButtons(m_performance.ui(), slot, m_performance.slot(slot));
    }
}

void KeyboardControl::resetRotation(int slot, bool speedsToo)
{
    if (!m_performance.slot(slot).Loaded) {
        return;
    }
    setControl(m_events, m_performance,
        slotControl(speedsToo ? kResetRotationAndSpeeds : kResetRotation, slot), 0);
    // The inspector's three "Reset" buttons: its rotation faders go back to 0.
    if (speedsToo && isInspected(slot)) {
        m_performance.ui().showControlValue(control::kInspectorRefresh, true);
    }
}

void KeyboardControl::toggleStencil(int slot)
{
    if (m_performance.slot(slot).Loaded) {
        toggle(slotControl(kStencil, slot));
    }
}

} // namespace oskel
