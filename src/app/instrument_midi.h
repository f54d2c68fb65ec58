#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/instrument_patches.h"
#include "control/control_surface.h"
#include "control/midi_clock_follower.h"
#include "control/midi_effect_controls.h"
#include "control/midi_input.h"
#include "control/midi_instrument_ports.h"
#include "control/midi_interpreter.h"
#include "control/midi_learn.h"
#include "core/main_thread_dispatcher.h"
#include "platform/midi_devices.h"
#include "platform/midi_in_port.h"
#include "platform/midi_out_thread.h"
#include "playback/tempo.h"

namespace oskel {

// The instrument's MIDI input: the device the settings name, opened at start; the
// interpreter, learning and the monitor behind it; the input buffer (messages queued for the
// main thread) or direct mode (handed over at once), as the option says. Main thread, but
// for the driver's calls noted below.
class InstrumentMidi : private MidiInputHandler, private MidiClockHandler {
public:
    struct Links {
        Performance& performance;
        // The performer's events: what MIDI does is recorded as the performer's actions.
        EventSink& events;
        Tempo& tempo;
        InstrumentPatches& patches;
        ClipInspectorPort& inspector;
        MainThreadDispatcher& mainThread;
        std::function<std::uint32_t()> clock;
        std::function<int()> referenceRate;
        // The names of the parameters of a slot's effect, for the control surface.
        std::function<std::vector<std::string>(int slot)> effectParameterNames = {};
    };

    InstrumentMidi(Links links, std::unique_ptr<MidiDevices> devices);
    virtual ~InstrumentMidi();
    InstrumentMidi(const InstrumentMidi&) = delete;
    InstrumentMidi& operator=(const InstrumentMidi&) = delete;

    // Opens and starts the input device of the settings, found by its name first; a device
    // that is gone is reported once, in the status line. No device named: none opened.
    void start();
    // Closes the device: nothing more arrives from the driver.
    void stop();
    // The performer chose another input device by its name: the input is disabled while the
    // old device closes and the chosen one opens and starts, and the settings remember it.
    // A failure leaves the input closed and disabled, with the reason in the status line.
    void chooseInput(const std::string& name);
    // The MIDI options changed: the input mode follows.
    void optionsChanged();

    // Each turn of the main thread's loop: the tempo of the MIDI clock (with "Sync tempo to
    // MIDI clock" on), and every two seconds whether the input device is still there. One
    // that has gone is closed and the performer told once; once it is back it opens again.
    void mainLoopTurn(std::chrono::steady_clock::time_point now);
    void applyClock();

    // One short message as if the input device had sent it, through the same path (queued or
    // direct as the option says), interpreted before this returns. For performance files.
    void deliver(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

    // The control surface's "Enable" box when the MIDI window closes: the surface is started
    // (again) or stopped, the status line says how it went, and the settings remember it.
    void applySurface(bool enabled);
    // The performer chose another output device: a running surface stops first.
    void chooseOutput(const std::string& name);
    ControlSurface& surface() { return m_surface; }

    MidiDevices& devices() { return *m_devices; }
    MidiInPort& port() { return m_port; }
    MidiInput& input() { return m_input; }
    MidiLearn& learn() { return m_learn; }

private:
    // The driver's thread.
    Action onMidiInput(const MidiMessage& message) override;
    void onMidiClock(const MidiMessage& message) noexcept override;
    // The main thread: every message the queue holds.
    void takeQueued();
    void serveDirect();
    void post(void (InstrumentMidi::*task)());
    void watchDevice(std::chrono::steady_clock::time_point now);
    bool startSurface();
    bool stopSurface();
    std::string surfaceDevice() const;

    Links m_links;
    std::unique_ptr<MidiDevices> m_devices;
    MidiEffectControls m_effects { m_links.performance, m_links.events };
    TMidiOutThread m_surfaceOutput;
    ControlSurface m_surface;
    bool m_surfaceFailureShown = false;
    InstrumentMidiPorts m_ports;
    MidiInterpreter m_interpreter;
    MidiLearn m_learn;
    MidiInput m_input;
    MidiInPort m_port;
    std::atomic<bool> m_buffered { true };
    MidiClockFollower m_clock;
    std::int32_t m_clockTempoApplied = 0;
    std::string m_watched; // the input device opened, while it is wanted
    bool m_lost = false;
    std::chrono::steady_clock::time_point m_nextCheck {};
    std::uint64_t m_lostReported = 0;
    // Tasks posted to the main thread run only while this lives.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace oskel
