// The event processor's transport actions: triggers, releases, stops, restarts, direction,
// pause, in and out points, speed and scratching.
#include <algorithm>
#include <thread>

#include "core/control_names.h"
#include "core/event_processor.h"
#include "core/pan_law.h"
#include "core/rounding.h"
#include "core/slot_rules.h"
#include "core/slot_sound.h"

namespace oskel {

namespace {

// Sample frames, as the inspector shows positions.
std::int64_t toFrames(std::int64_t bytes, std::int32_t blockAlign)
{
    return blockAlign > 0 ? roundHalfEven(static_cast<double>(bytes) / blockAlign) : bytes;
}

} // namespace

void EventProcessor::silenceOthers(int slot)
{
    for (int other = 1; other <= kSlotCount; ++other) {
        TPlayAvistruct& record = m_performance.slot(other);
        if (other == slot || !record.Loaded) {
            continue;
        }
        if (record.InstallationMode) {
            send(32, 0, 0, other);
            record.Shown = false;
            status(other, SlotState::SyncMuted);
        } else {
            stopSlot(other);
        }
    }
}

void EventProcessor::trigger(const TSlotEvent& event)
{
    const int slot = event.Slot;
    TPlayAvistruct& target = record(event);
    if (m_performance.globals().NewTriggerStopsClips) {
        silenceOthers(slot);
    }
    if (target.InstallationMode) {
        if (target.Mute) {
            if (!target.Playing) {
                RestartSyncSlots(false);
            }
            send(33, 0, 0, slot);
            target.Shown = true;
            target.Playing = true;
            if (m_performance.globals().Layering) {
                m_performance.bringToFront(slot);
            }
            status(slot, SlotState::SyncShown);
        } else {
            send(32, 0, 0, slot);
            target.Shown = false;
            status(slot, SlotState::SyncMuted);
        }
    } else {
        ensureAudioThread();
        waitUntilTaken(m_mailbox.TriggerSlot);
        m_mailbox.PendingFrequency = 0;
        m_mailbox.TriggerVolume = event.Value;
        m_mailbox.TriggerPan = balanceToPan(event.Value2);
        m_mailbox.TriggerSlot = slot;
        target.Balance = event.Value2;
        m_mailbox.AudioEvent.set();
        status(slot, SlotState::Playing);
        target.Shown = true;
    }
    target.Paused = false;
}

void EventProcessor::restart(const TSlotEvent& event)
{
    RestartSlot(record(event));
    status(event.Slot, SlotState::SyncMuted);
}

void EventProcessor::direction(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    slot.ChopSegment = -1;
    const bool changes
        = (event.Value == 2 && slot.Direction == 1) || (event.Value == 1 && slot.Direction == 2);
    if (!changes) {
        return;
    }
    ensureAudioThread();
    waitUntilTaken(m_mailbox.PendingDirection);
    m_mailbox.DirectionSlot = event.Slot;
    m_mailbox.PendingDirection = event.Value;
    m_mailbox.AudioEvent.set();
}

void EventProcessor::frequency(const TSlotEvent& event)
{
    setBothFrequencies(record(event), event.Value);
    if (isInspected(event.Slot)) {
        show(control::kFrequency, static_cast<std::int64_t>(event.Value));
    }
}

void EventProcessor::frequencyThroughAudioThread(const TSlotEvent& event)
{
    m_mailbox.FrequencySlot = event.Slot;
    m_mailbox.PendingFrequency = event.Value;
    m_mailbox.AudioEvent.set();
}

void EventProcessor::triggerAtFrequency(const TSlotEvent& event)
{
    if (m_performance.globals().loadingBusy) {
        return;
    }
    if (m_performance.globals().standby || !m_playback.audioThreadExists()) {
        standbyOff(event);
    }
    if (m_playback.audioThreadSuspended()) {
        m_playback.resumeAudioThread();
        return;
    }
    // Replaces a trigger that has not been taken yet, so it does not wait.
    m_mailbox.FrequencySlot = event.Slot;
    m_mailbox.TriggerVolume = event.Value;
    m_mailbox.PendingFrequency = event.Value2;
    m_mailbox.TriggerSlot = event.Slot;
    m_mailbox.AudioEvent.set();
    record(event).Shown = true;
    status(event.Slot, SlotState::Playing);
}

void EventProcessor::inPoint(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    const std::int64_t length = slot.Length;
    if (event.Value < 0 || event.Value > length) {
        return;
    }
    slot.InPoint = event.Value;
    if (static_cast<std::int64_t>(slot.InPoint) >= slot.OutPoint) {
        slot.OutPoint = std::min<std::int64_t>(slot.InPoint + 1000LL, length);
    }
    selectionChanged(event.Slot);
}

void EventProcessor::outPoint(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    if (event.Value < 0 || event.Value > slot.Length) {
        return;
    }
    slot.OutPoint = event.Value;
    if (static_cast<std::int64_t>(slot.InPoint) >= slot.OutPoint) {
        slot.InPoint = static_cast<std::int32_t>(std::max<std::int64_t>(slot.OutPoint - 1000, 0));
    }
    selectionChanged(event.Slot);
}

void EventProcessor::selectionChanged(int slot)
{
    const TPlayAvistruct& record = m_performance.slot(slot);
    if (isInspected(slot)) {
        show(control::kInPoint, toFrames(record.InPoint, record.BlockAlign));
        show(control::kOutPoint, toFrames(record.OutPoint, record.BlockAlign));
    }
    if (m_selectionChanged) {
        m_selectionChanged(slot);
    }
}

void EventProcessor::pause(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    if (event.Value == 1) {
        slot.Paused = true;
        StopSlotSound(slot);
        return;
    }
    slot.Paused = false;
    if (const auto buffer = activeBuffer(slot)) {
        const bool loop = loopsWhenStarted(slot, m_performance.globals().Loop);
        try {
            buffer->play(loop);
        } catch (const SoundError&) {
            throw SoundError("Could not play");
        }
        slot.Looping = loop;
    }
}

void EventProcessor::release(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    if (slot.InstallationMode) {
        send(32, 0, 0, event.Slot);
        slot.Shown = false;
        status(event.Slot, SlotState::SyncMuted);
    } else {
        stopSlot(event.Slot);
    }
}

void EventProcessor::stopAll(const TSlotEvent&)
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        TPlayAvistruct& record = m_performance.slot(slot);
        StopSlotSound(record);
        record.Playing = false;
        record.Shown = false;
        if (record.InstallationMode) {
            record.Mute = true;
        }
        status(slot, SlotState::Stopped);
    }
    m_performance.ui().setStatusText("Ready");
}

void EventProcessor::stopEverySlot(const TSlotEvent&)
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        stopSlot(slot);
    }
}

void EventProcessor::nudgeFrequency(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    if (!slot.ForwardBuffer) {
        return;
    }
    const std::int64_t current = slot.ForwardBuffer->frequency();
    std::int64_t wanted = event.Value != 0 ? current + event.Value2 : current - event.Value2;
    if (wanted < 2) {
        wanted = 1;
    }
    setBothFrequencies(slot, static_cast<int>(wanted));
    if (isInspected(event.Slot)) {
        // What the buffer plays: a rate it refused leaves the old one.
        show(control::kFrequency, static_cast<std::int64_t>(slot.ForwardBuffer->frequency()));
    }
}

void EventProcessor::scratch(const TSlotEvent& event)
{
    TPlayAvistruct& slot = record(event);
    if (!slot.Playing) {
        return;
    }
    const std::int64_t span = slot.OutPoint - static_cast<std::int64_t>(slot.InPoint);
    const std::int64_t offset = roundHalfEven(event.Value / 127.0 * static_cast<double>(span));
    const bool forwards = slot.Direction == 1;
    const std::int64_t position
        = forwards ? slot.InPoint + offset : slot.Length - slot.InPoint - offset;
    const std::shared_ptr<SoundBuffer> buffer = activeBuffer(slot);
    if (buffer && position >= 0 && position < slot.Length) {
        try {
            buffer->setPosition(position);
        } catch (const SoundError&) {
            // Scratching reports no failure.
        }
    }
}

} // namespace oskel
