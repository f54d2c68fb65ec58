#include "core/event_processor.h"

#include <algorithm>
#include <thread>

#include "core/control_names.h"
#include "core/control_table.h"
#include "core/live_slot_events.h"
#include "core/pan_law.h"
#include "core/slot_rules.h"
#include "core/slot_sound.h"

namespace oskel {

EventProcessor::EventProcessor(
    Performance& performance, AudioMailbox& mailbox, PlaybackControl& playback)
    : m_performance(performance)
    , m_mailbox(mailbox)
    , m_playback(playback)
{
}

void EventProcessor::ProcessEvent(const TSlotEvent& event)
{
    if (m_depth == 0 && m_outsideEventObserver) {
        m_outsideEventObserver(event);
    }
    const Inside inside(m_depth);
    if (m_performance.globals().shuttingDown || event.Code >= kEvents.size()) {
        return;
    }
    const EventRule& rule = kEvents[event.Code].rule;
    if (rule.namesSlot && (!isValidSlot(event.Slot) || !m_performance.slot(event.Slot).Loaded)) {
        return;
    }
    if (!rule.value.contains(event.Value) || !rule.value2.contains(event.Value2)) {
        return;
    }
    TSlotEvent taken = event;
    if (rule.namesSlot && isLiveSlot(m_performance.slot(event.Slot))) {
        if (const auto refusal = liveSlotRefusal(event)) {
            m_performance.ui().setStatusText(*refusal);
            return;
        }
        taken = liveSlotEvent(event, m_performance.slot(event.Slot));
    }
    (this->*kEvents[event.Code].handler)(taken);
}

void EventProcessor::EngineEvents::ProcessEvent(const TSlotEvent& event)
{
    const Inside inside(m_processor.m_depth);
    m_processor.ProcessEvent(event);
}

void EventProcessor::send(
    std::uint8_t code, std::int32_t value, std::int32_t value2, std::int32_t slot)
{
    ProcessEvent(TSlotEvent { code, value, value2, slot });
}

void EventProcessor::show(std::string_view control, const ControlValue& value)
{
    m_performance.ui().showControlValue(control, value);
}

void EventProcessor::SetSlotPanFromMIDI(int slot, int value)
{
    send(41, balanceToPan(value), value, slot);
}

void EventProcessor::RestartSyncSlots(bool hide)
{
    const Inside inside(m_depth); // a transport operation: its restarts are not recorded
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        TPlayAvistruct& record = m_performance.slot(slot);
        if (!record.Loaded || !record.InstallationMode) {
            continue;
        }
        if (hide) {
            record.Mute = true;
            record.Shown = false;
        }
        send(1, 0, 0, slot);
    }
}

// Waits, a millisecond at a time, until the audio thread has taken the previous request of
// the same kind. Never for ever: when the thread is gone or does not answer in time, the
// status line says so and the new request replaces the old one.
bool EventProcessor::waitUntilTaken(const std::atomic<std::int32_t>& request)
{
    const auto deadline = std::chrono::steady_clock::now() + kMailboxPatience;
    while (request != 0) {
        if (!m_playback.audioThreadRunning()) {
            m_performance.ui().setStatusText("Sound engine stopped - request replaced");
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            m_performance.ui().setStatusText("Sound engine busy - request replaced");
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A trigger must find an audio thread to take it: leave standby, wake a suspended thread.
void EventProcessor::ensureAudioThread()
{
    if (m_performance.globals().standby || !m_playback.audioThreadExists()) {
        standbyOff(TSlotEvent { 29, 0, 0, 0 });
    } else if (m_playback.audioThreadSuspended()) {
        m_playback.resumeAudioThread();
    }
}

void EventProcessor::stopSlot(int slot)
{
    TPlayAvistruct& record = m_performance.slot(slot);
    StopSlotSound(record);
    record.Playing = false;
    status(slot, SlotState::Stopped);
}

// --- global options ------------------------------------------------------------------------

void EventProcessor::loopOption(const TSlotEvent& event)
{
    m_performance.globals().Loop = event.Value != 0;
    show(control::kLoop, event.Value != 0);
}

void EventProcessor::clearOutput(const TSlotEvent&)
{
    if (m_renderer != nullptr) {
        m_renderer->ClearOutput();
    }
}

void EventProcessor::trailsOption(const TSlotEvent& event)
{
    m_performance.globals().Trails = event.Value != 0;
    show(control::kTrailsEnable, event.Value != 0);
}

void EventProcessor::layeringOption(const TSlotEvent& event)
{
    m_performance.globals().Layering = event.Value != 0;
    show(control::kTriggerToFront, event.Value != 0);
}

void EventProcessor::midiChannelsOption(const TSlotEvent& event)
{
    m_performance.options().midi.IndividualChannels = event.Value != 0;
    show(control::kSixteenMidiChannels, event.Value != 0);
}

void EventProcessor::pitchWheelAssignment(const TSlotEvent& event)
{
    m_performance.options().midi.pitchWheelParameter = event.Value;
}

void EventProcessor::pitchNotesOption(const TSlotEvent& event)
{
    m_performance.options().midi.PitchNotes = event.Value != 0;
    show(control::kPitchNotes, event.Value != 0);
}

void EventProcessor::trailsStrength(const TSlotEvent& event)
{
    m_performance.globals().trailsStrength = event.Value;
    show(control::kTrailsStrength, static_cast<std::int64_t>(event.Value));
}

void EventProcessor::standbyOn(const TSlotEvent&)
{
    send(25, 0, 0, 0);
    m_playback.stopAudioThread();
    m_performance.globals().standby = true;
    show(control::kStandby, true);
    m_performance.ui().setStatusText("Standby");
}

void EventProcessor::standbyOff(const TSlotEvent&)
{
    m_playback.startAudioThread();
    m_performance.globals().standby = false;
    show(control::kStandby, false);
}

// --- the control table ---------------------------------------------------------------------

// An entry that the processor writes itself: the slot and the value are checked here, since
// the general checks know neither.
void EventProcessor::setControl(const TSlotEvent& event)
{
    const ControlEntry& entry = controlTable()[static_cast<std::size_t>(event.Value2)];
    const bool onSlot = entry.scope == ControlScope::Slot;
    if (entry.write == nullptr
        || (onSlot && (!isValidSlot(event.Slot) || !m_performance.slot(event.Slot).Loaded))) {
        return;
    }
    std::int32_t value = event.Value;
    if (entry.kind == ControlKind::Toggle && value != 0 && value != 1) {
        return;
    }
    if (entry.kind == ControlKind::Integer || entry.kind == ControlKind::Decimal) {
        value = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(value, entry.range.low, entry.range.high));
    }
    const int slot = onSlot ? event.Slot : 0;
    if (!entry.write(m_performance, *this, slot, value)) {
        // A button pressed in vain goes out again.
        if (entry.kind == ControlKind::Toggle && !entry.shownIn.empty()
            && (!onSlot || isInspected(slot))) {
            show(entry.shownIn, entry.read(m_performance, slot) != 0);
        }
        return;
    }
    if (!entry.shownIn.empty() && (!onSlot || isInspected(slot))) {
        if (entry.kind == ControlKind::Toggle) {
            show(entry.shownIn, value != 0);
        } else {
            show(entry.shownIn, static_cast<std::int64_t>(value));
        }
    }
    if (m_controlChanged) {
        m_controlChanged(entry, slot);
    }
}

} // namespace oskel
