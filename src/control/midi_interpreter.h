#pragma once

#include <cstdint>
#include <functional>

#include "control/clip_inspector_port.h"
#include "control/midi_ports.h"
#include "core/performance.h"
#include "core/slot_event.h"

namespace oskel {

// The slot a note triggers: the white keys 48..74 give slots 1..16, or in guitar mode the
// sixteen notes 52..67; 0 for any other note.
int midiNoteSlot(int note, bool guitarMode);

// Turns each short MIDI message into performance actions: notes trigger and stop the slots
// or run the command notes, controllers and the pitch wheel drive the assigned parameters,
// program changes and the high notes choose patches. Every value it changes goes through the
// event processor (events, or settings of the control table); the effect host, the tempo,
// the patch explorer and the control surface are reached through their ports.
//
// Main thread only, in both input modes. The interpreter reads slot records, options and
// window state that the main thread owns, so it never runs on the MIDI driver's thread:
// with the input buffer off the driver thread only hands each message over without a lock
// (MidiHandOff) and wakes the main thread, which interprets it at once.
class MidiInterpreter {
public:
    struct Links {
        Performance& performance;
        // Where the actions go: the event processor.
        EventSink& events;
        ClipInspectorPort& inspector;
        MidiInputPorts& ports;
        EffectHostPort& effects;
        ControlSurfacePort& surface;
        // The sample rate of the most recently loaded clip's sound, 44100 when it had none:
        // the frequency the pitch controllers take as normal speed.
        std::function<int()> referenceRate;
    };

    explicit MidiInterpreter(Links links);
    MidiInterpreter(const MidiInterpreter&) = delete;
    MidiInterpreter& operator=(const MidiInterpreter&) = delete;

    // Interprets one short message: status, data 1 and data 2, each a byte. Ignored while a
    // clip or patch loads; notes, controllers and the pitch wheel are ignored in standby.
    // Errors of the event processor (SoundError and the like) leave it at once.
    void ProcessMidiMessage(std::uint16_t status, std::uint16_t data1, std::uint16_t data2);

    // Controller 20 holds scratching (on from 64, off below); held from the start.
    bool scratchHold() const { return m_scratchHold; }

private:
    enum class Outcome { Continue, End };
    struct Message {
        std::uint16_t status;
        std::uint16_t data1;
        std::uint16_t data2;
        int channel() const { return (status & 15) + 1; }
    };

    const MidiOptions& midi() const { return m_performance.options().midi; }
    const GlobalState& globals() const { return m_performance.globals(); }
    int currentClip() const { return m_performance.globals().selectedSlot; }
    bool isBaseChannel(int channel) const { return channel == midi().channel; }
    // A slot 1..16 that accepts MIDI: the controllers', the pitch wheel's and the slot
    // commands' condition.
    bool acceptsMidi(int slot) const;
    bool isLoaded(int slot) const;
    bool isInspected(int slot) const { return m_inspector.inspectedSlot() == slot; }
    void send(
        std::uint8_t code, std::int32_t value = 0, std::int32_t value2 = 0, std::int32_t slot = 0);
    void loadPatch(int index);

    Outcome surfaceStep(Message& message);
    Outcome surfaceCode(int code, Message& message);

    void noteOn(const Message& message, int mappedSlot);
    bool triggerNote(const Message& message, int slot, bool atPitch);
    std::int32_t triggerVolume(int slot, int velocity, bool pitchNotes) const;
    void commandNotes(const Message& message);
    void slotCommand(int note, int slot);
    void restartSyncSlots();
    void noteOff(const Message& message, int mappedSlot);
    void pitchWheel(const Message& message);
    void controller(const Message& message);
    void programChange(const Message& message);

    // What parameter p does with value v on the slot (controller actions table); false when
    // the parameter is not one of the table's rows.
    bool parameterAction(int parameter, int slot, int value, bool fromWheel);
    void scratch(int slot, int value);
    void switchEffect(int slot, bool on);
    void showEffect(int slot, bool buttonOn);

    Performance& m_performance;
    EventSink& m_events;
    ClipInspectorPort& m_inspector;
    MidiInputPorts& m_ports;
    EffectHostPort& m_effects;
    ControlSurfacePort& m_surface;
    std::function<int()> m_referenceRate;
    bool m_scratchHold = true;
};

} // namespace oskel
