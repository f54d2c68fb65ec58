// From a note-on written into the loopback MIDI device to its trigger handed to the event
// processor (which puts it in the audio thread's mailbox at once), in the input buffer's mode
// and in direct mode: the median and the 99th percentile of 2000 notes, each written while the
// main thread waits in its loop, beside the 40 ms of one tick at 25 frames per second. Then a
// flood of controllers, ten seconds at ten thousand a second, in both modes.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "control/clip_inspector_port.h"
#include "control/midi_input.h"
#include "control/midi_interpreter.h"
#include "control/midi_learn.h"
#include "core/main_thread_dispatcher.h"
#include "core/midi_assignment_items.h"
#include "core/performance.h"
#include "platform/loopback_midi.h"
#include "platform/midi_devices.h"
#include "platform/midi_in_port.h"

namespace {

using namespace oskel;
using Clock = std::chrono::steady_clock;

constexpr int kNotes = 2000;

// Takes the time a trigger arrives.
class TriggerClock : public EventSink {
public:
    void ProcessEvent(const TSlotEvent& event) override
    {
        if (event.Code == event_code::kTrigger) {
            arrived.store(Clock::now().time_since_epoch().count());
        }
    }
    std::atomic<Clock::rep> arrived { 0 };
};

class Handler final : public MidiInputHandler {
public:
    Handler(MidiInput& input, bool buffered)
        : m_input(input)
        , m_buffered(buffered)
    {
    }
    Action onMidiInput(const MidiMessage& message) override
    {
        if (m_buffered) {
            return Action::Queue;
        }
        m_input.receiveDirect(std::uint32_t { message.status }
            | (std::uint32_t { message.data1 } << 8) | (std::uint32_t { message.data2 } << 16));
        return Action::Done;
    }

private:
    MidiInput& m_input;
    bool m_buffered;
};

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * double(values.size() - 1));
    return values.at(at);
}

// The MIDI input as the instrument wires it, on the loopback device: the interpreter hands
// what it sets to `events`, in the input buffer's mode or in direct mode.
class MidiRig {
public:
    MidiRig(EventSink& events, bool buffered)
        : m_events(events)
        , m_buffered(buffered)
    {
        performance.options().midi.channel = 1;
        performance.options().midi.UseCircbuf = buffered;
        performance.slot(1).Loaded = true;
        performance.globals().selectedSlot = 1;
        // The assignments as a first start gives them (the sinks here carry out no settings).
        for (std::size_t parameter = 0; parameter < kMidiAssignmentItems.size(); ++parameter) {
            performance.options().midi.controllers.at(parameter)
                = kMidiAssignmentItems.at(parameter).defaultController;
        }
        port.setHandler(&handler);
        port.setWake([this] {
            mainThread.post([this] {
                while (const auto message = port.read()) {
                    input.MidiInput1MidiInput(message->status, message->data1, message->data2);
                }
            });
        });
        opened = port.open(LoopbackMidi::kDefaultCable).ok();
        if (opened) {
            port.start();
        }
    }
    MidiRig(const MidiRig&) = delete;
    MidiRig& operator=(const MidiRig&) = delete;
    ~MidiRig() { port.close(); }

    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };

private:
    EventSink& m_events;
    bool m_buffered;
    SelectionOnlyInspector m_inspector { performance };
    MidiInputPorts m_ports;
    EffectHostPort m_effects;
    ControlSurfacePort m_surface;
    LoopbackMidi* m_cable = nullptr;
    MidiDevices m_devices { [this] {
        std::vector<std::unique_ptr<MidiBackend>> backends;
        auto loopback = std::make_unique<LoopbackMidi>();
        m_cable = loopback.get();
        backends.push_back(std::move(loopback));
        return backends;
    }() };

public:
    MidiInterpreter interpreter { MidiInterpreter::Links {
        performance, m_events, m_inspector, m_ports, m_effects, m_surface, [] { return 44100; } } };
    MidiLearn learn { m_events, performance };
    MidiInput input { MidiInput::Links {
        interpreter, learn, {}, [this] { mainThread.post([this] { input.serveDirect(); }); } } };
    Handler handler { input, m_buffered };
    MidiInPort port { m_devices };
    LoopbackMidi& cable = *m_cable;
    bool opened = false;
};

void BM_NoteToTrigger(benchmark::State& state, bool buffered)
{
    TriggerClock triggers;
    MidiRig rig(triggers, buffered);
    if (!rig.opened) {
        state.SkipWithError("the loopback cable did not open");
        return;
    }
    std::vector<double> microseconds;
    for (auto _ : state) {
        microseconds.clear();
        std::atomic<bool> done { false };
        std::vector<Clock::rep> sent(kNotes);
        std::thread writer([&] {
            for (int note = 0; note < kNotes; ++note) {
                std::this_thread::sleep_for(std::chrono::microseconds(500));
                const std::uint8_t bytes[] = { 0x90, 48, 100 };
                sent[note] = Clock::now().time_since_epoch().count();
                const Clock::rep before = triggers.arrived.load();
                rig.cable.inject(LoopbackMidi::kDefaultCable, bytes);
                while (triggers.arrived.load() == before) {
                    std::this_thread::yield();
                }
                microseconds.push_back(double(triggers.arrived.load() - sent[note]) / 1000.0);
            }
            done = true;
            rig.mainThread.post([] {});
        });
        while (!done) {
            rig.mainThread.serveFor(std::chrono::milliseconds(100));
        }
        writer.join();
    }
    state.counters["median_us"] = percentile(microseconds, 0.5);
    state.counters["p99_us"] = percentile(microseconds, 0.99);
    state.counters["tick_at_25fps_us"] = 40000;
    state.counters["goal_p99_direct_us"] = 1000;
}

// Counts what the controllers set.
class SetCounter : public EventSink {
public:
    void ProcessEvent(const TSlotEvent&) override { ++count; }
    std::int64_t count = 0;
};

// Ten seconds of controllers at ten thousand a second, as a busy controller or a runaway
// sequencer sends them: every one is carried out, none is lost, and the deepest the input
// buffer gets stays far below its size (direct mode does not use it: 0 there).
void BM_ControllerFlood(benchmark::State& state, bool buffered)
{
    constexpr int kPerSecond = 10000;
    constexpr int kSeconds = 10;
    SetCounter sets;
    MidiRig rig(sets, buffered);
    if (!rig.opened) {
        state.SkipWithError("the loopback cable did not open");
        return;
    }
    std::size_t deepest = 0;
    for (auto _ : state) {
        std::atomic<bool> done { false };
        std::thread device([&] {
            const Clock::time_point begin = Clock::now();
            for (int k = 0; k < kPerSecond * kSeconds; ++k) {
                std::this_thread::sleep_until(begin + std::chrono::microseconds(k * 100));
                const std::uint8_t opacity[] = { 0xB0, 67, static_cast<std::uint8_t>(k % 128) };
                rig.cable.inject(LoopbackMidi::kDefaultCable, opacity);
            }
            done = true;
        });
        while (!done) {
            rig.mainThread.serveFor(std::chrono::milliseconds(1));
            deepest = std::max(deepest, rig.port.messageCount());
        }
        device.join();
        rig.mainThread.serveFor(std::chrono::milliseconds(100));
    }
    state.counters["sent"] = kPerSecond * kSeconds;
    state.counters["carried_out"] = double(sets.count);
    state.counters["lost"] = double(rig.port.takeLost());
    state.counters["deepest_input_buffer"] = double(deepest);
    state.counters["queue_size"] = double(rig.port.capacity());
}

BENCHMARK_CAPTURE(BM_NoteToTrigger, buffered, true)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NoteToTrigger, direct, false)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ControllerFlood, buffered, true)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ControllerFlood, direct, false)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
