#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "core/audio_mailbox.h"
#include "core/engine_ports.h"
#include "core/performance.h"
#include "core/slot_event.h"

namespace oskel {

class SoundDevice;

// Every performance action passes through here as one TSlotEvent: it changes slot records and
// global options, drives the slots' sound buffers for immediate actions, and hands triggers,
// frequency and direction requests to the audio command thread through the mailbox.
// Main thread only; it calls itself for sub-actions. Events that name an empty slot, a slot
// number outside 1..16 or a value outside its range do nothing.
class EventProcessor : public EventSink {
public:
    EventProcessor(Performance& performance, AudioMailbox& mailbox, PlaybackControl& playback);

    void setRenderer(RendererPort* renderer) { m_renderer = renderer; }
    void setSoundDevice(SoundDevice* device) { m_sound = device; }
    // Called after a slot's in or out point moved, for the tempo figures.
    void setSelectionChangedHandler(std::function<void(int slot)> handler)
    {
        m_selectionChanged = std::move(handler);
    }

    void ProcessEvent(const TSlotEvent& event) override;

    // Told of every event that reaches ProcessEvent from outside: the performer's actions,
    // not the sub-events the processor sends itself nor the engine's own events. The
    // performance recorder listens here.
    void setOutsideEventObserver(std::function<void(const TSlotEvent&)> observer)
    {
        m_outsideEventObserver = std::move(observer);
    }
    // Where the engine sends its own events (the transport's automatic advance, tempo
    // following): they are processed like any other but never reach the observer, since
    // replaying the performer's actions brings them about again.
    EventSink& engineEvents() { return m_engineEvents; }

    // Sends event 41 for a pan value of 0..127.
    void SetSlotPanFromMIDI(int slot, int value);
    // Restarts every loaded sync-mode slot from its in point (event 1), hiding them first
    // when asked.
    void RestartSyncSlots(bool hide);

    // How long a new request waits for the audio thread to take the previous one.
    static constexpr auto kMailboxPatience = std::chrono::milliseconds(1000);

private:
    using Handler = void (EventProcessor::*)(const TSlotEvent&);

    class EngineEvents : public EventSink {
    public:
        explicit EngineEvents(EventProcessor& processor)
            : m_processor(processor)
        {
        }
        void ProcessEvent(const TSlotEvent& event) override;

    private:
        EventProcessor& m_processor;
    };
    // Counts the ProcessEvent calls under way, so that only outermost ones are observed.
    class Inside {
    public:
        explicit Inside(int& depth)
            : m_depth(depth)
        {
            ++m_depth;
        }
        ~Inside() { --m_depth; }
        Inside(const Inside&) = delete;
        Inside& operator=(const Inside&) = delete;

    private:
        int& m_depth;
    };
    static const Handler kHandlers[42];

    TPlayAvistruct& record(const TSlotEvent& event) { return m_performance.slot(event.Slot); }
    bool isInspected(int slot) const { return m_performance.globals().selectedSlot == slot; }
    void send(std::uint8_t code, std::int32_t value, std::int32_t value2, std::int32_t slot);
    void show(std::string_view control, const ControlValue& value);
    void status(int slot, SlotState state) { m_performance.SlotStatusColour(slot, state); }
    bool waitUntilTaken(const std::atomic<std::int32_t>& request);
    void ensureAudioThread();
    void silenceOthers(int slot);
    void stopSlot(int slot);

    // Handlers, one per code; each is called only after the general checks.
    void trigger(const TSlotEvent& event);
    void restart(const TSlotEvent& event);
    void direction(const TSlotEvent& event);
    void frequency(const TSlotEvent& event);
    void frequencyThroughAudioThread(const TSlotEvent& event);
    void triggerAtFrequency(const TSlotEvent& event);
    void loopOption(const TSlotEvent& event);
    void inPoint(const TSlotEvent& event);
    void outPoint(const TSlotEvent& event);
    void pause(const TSlotEvent& event);
    void release(const TSlotEvent& event);
    void clearOutput(const TSlotEvent& event);
    void trailsOption(const TSlotEvent& event);
    void layeringOption(const TSlotEvent& event);
    void midiChannelsOption(const TSlotEvent& event);
    void positionFromController(const TSlotEvent& event);
    void move(const TSlotEvent& event);
    void zoom(const TSlotEvent& event);
    void size(const TSlotEvent& event);
    void aspect(const TSlotEvent& event);
    void lumaKeyLevel(const TSlotEvent& event);
    void pitchWheelAssignment(const TSlotEvent& event);
    void pitchNotesOption(const TSlotEvent& event);
    void width(const TSlotEvent& event);
    void height(const TSlotEvent& event);
    void stopAll(const TSlotEvent& event);
    void stopEverySlot(const TSlotEvent& event);
    void standbyOn(const TSlotEvent& event);
    void standbyOff(const TSlotEvent& event);
    void nudgeFrequency(const TSlotEvent& event);
    void volume(const TSlotEvent& event);
    void mute(const TSlotEvent& event);
    void unmute(const TSlotEvent& event);
    void transparency(const TSlotEvent& event);
    void lumaBlend(const TSlotEvent& event);
    void trailsStrength(const TSlotEvent& event);
    void crossfade(const TSlotEvent& event);
    void masterVolume(const TSlotEvent& event);
    void scratch(const TSlotEvent& event);
    void pan(const TSlotEvent& event);
    void nothing(const TSlotEvent&) { }

    void applyRect(TPlayAvistruct& slot, const struct SlotRect& rect, bool recomputeSize);
    void selectionChanged(int slot);

    Performance& m_performance;
    AudioMailbox& m_mailbox;
    PlaybackControl& m_playback;
    RendererPort* m_renderer = nullptr;
    SoundDevice* m_sound = nullptr;
    std::function<void(int)> m_selectionChanged;
    std::function<void(const TSlotEvent&)> m_outsideEventObserver;
    EngineEvents m_engineEvents { *this };
    int m_depth = 0;
};

} // namespace oskel
