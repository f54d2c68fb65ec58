#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "control/midi_form.h"
#include "control/midi_hand_off.h"
#include "control/midi_interpreter.h"
#include "control/midi_learn.h"

namespace oskel {

// The way of every incoming short message to the interpreter, MIDI learn and the monitor.
//
// Both input modes end on the main thread. With the input buffer on, the device layer queues
// each message and the main thread reads it from there (MidiInput1MidiInput). With it off,
// the driver's thread hands the message over here (receiveDirect) through a lock-free ring
// and wakes the main thread, which interprets it at once (serveDirect). The interpreter is
// never run on the driver's thread: it reads slot records, options and window state that
// only the main thread may touch, and writes them through the event processor, which is the
// main thread's. Learning and the monitor therefore also run once, on the main thread.
class MidiInput {
public:
    struct Links {
        MidiInterpreter& interpreter;
        MidiLearn& learn;
        // Main thread: a parameter learned its controller; the form shows its settings again.
        std::function<void()> learned;
        // Any thread, from receiveDirect: makes the main thread call serveDirect soon (for
        // instance a post to its dispatcher). Called once for a run of messages that arrive
        // before the main thread gets to them.
        std::function<void()> wakeMainThread;
    };

    explicit MidiInput(Links links);
    MidiInput(const MidiInput&) = delete;
    MidiInput& operator=(const MidiInput&) = delete;

    // Any thread. Cleared while the input device changes and while MIDI loads a patch:
    // messages then still reach learning and the monitor, but not the interpreter; in direct
    // mode they are not even handed over.
    void setInputEnabled(bool enabled) { m_enabled.store(enabled, std::memory_order_release); }
    bool inputEnabled() const { return m_enabled.load(std::memory_order_acquire); }

    // Main thread, buffered mode: one message read from the device layer's queue. A
    // system-exclusive message comes as 0xF0, 0, 0 and does nothing but show in the monitor.
    // Errors of the event processor pass on to the caller.
    void MidiInput1MidiInput(std::uint16_t status, std::uint16_t data1, std::uint16_t data2);

    // The MIDI driver's thread, direct mode: one short message packed as the driver gives
    // it. Returns at once: no lock, no allocation; active sensing and timing clock are
    // discarded first. A message that finds the hand-off full is dropped and counted.
    void receiveDirect(std::uint32_t packed) noexcept;
    // Main thread: interprets what receiveDirect handed over, oldest first. When the event
    // processor raises an error the rest stays for the next call, which is asked for before
    // the error passes on.
    void serveDirect();
    std::uint64_t droppedDirect() const { return m_handOff.dropped(); }

    // Main thread: what runs when a parameter learned its controller, in place of the one
    // given at construction (the form, once it exists).
    void setLearned(std::function<void()> learned) { m_learned = std::move(learned); }

    // The MIDI form's monitor: its on/off button, and where it shows each message while the
    // form is visible (empty while it is hidden). Main thread.
    midi_form::MonitorSwitch& monitor() { return m_monitor; }
    void setMonitorDisplay(std::function<void(const midi_form::MonitorLine&)> display)
    {
        m_display = std::move(display);
    }

private:
    void wake() noexcept;

    MidiInterpreter& m_interpreter;
    MidiLearn& m_learn;
    std::function<void()> m_learned;
    std::function<void()> m_wakeMainThread;
    std::function<void(const midi_form::MonitorLine&)> m_display;
    midi_form::MonitorSwitch m_monitor;
    std::atomic<bool> m_enabled { true };
    std::atomic<bool> m_wakePending { false };
    MidiHandOff m_handOff;
};

} // namespace oskel
