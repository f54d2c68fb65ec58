// From a note-on written into the loopback MIDI device to its trigger handed to the event
// processor (which puts it in the audio thread's mailbox at once), in the input buffer's mode
// and in direct mode: the median and the 99th percentile of 2000 notes, each written while the
// main thread waits in its loop, beside the 40 ms of one tick at 25 frames per second.
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

void BM_NoteToTrigger(benchmark::State& state, bool buffered)
{
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    performance.options().midi.channel = 1;
    performance.options().midi.UseCircbuf = buffered;
    performance.slot(1).Loaded = true;
    TriggerClock triggers;
    SelectionOnlyInspector inspector(performance);
    MidiInputPorts ports;
    EffectHostPort effects;
    ControlSurfacePort surface;
    MidiInterpreter interpreter(MidiInterpreter::Links {
        performance, triggers, inspector, ports, effects, surface, [] { return 44100; } });
    MidiLearn learn(performance.options().midi);
    std::vector<std::unique_ptr<MidiBackend>> backends;
    auto loopback = std::make_unique<LoopbackMidi>();
    LoopbackMidi& cable = *loopback;
    backends.push_back(std::move(loopback));
    MidiDevices devices(std::move(backends));
    MidiInPort port(devices);
    MidiInput* inputPointer = nullptr;
    MidiInput input(MidiInput::Links { interpreter, learn, {}, [&mainThread, &inputPointer] {
                                          mainThread.post(
                                              [&inputPointer] { inputPointer->serveDirect(); });
                                      } });
    inputPointer = &input;
    Handler handler(input, buffered);
    port.setHandler(&handler);
    port.setWake([&] {
        mainThread.post([&] {
            while (const auto message = port.read()) {
                input.MidiInput1MidiInput(message->status, message->data1, message->data2);
            }
        });
    });
    if (!port.open(LoopbackMidi::kDefaultCable).ok()) {
        state.SkipWithError("the loopback cable did not open");
        return;
    }
    port.start();

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
                cable.inject(LoopbackMidi::kDefaultCable, bytes);
                while (triggers.arrived.load() == before) {
                    std::this_thread::yield();
                }
                microseconds.push_back(double(triggers.arrived.load() - sent[note]) / 1000.0);
            }
            done = true;
            mainThread.post([] {});
        });
        while (!done) {
            mainThread.serveFor(std::chrono::milliseconds(100));
        }
        writer.join();
    }
    port.close();
    state.counters["median_us"] = percentile(microseconds, 0.5);
    state.counters["p99_us"] = percentile(microseconds, 0.99);
    state.counters["tick_at_25fps_us"] = 40000;
    state.counters["goal_p99_direct_us"] = 1000;
}

BENCHMARK_CAPTURE(BM_NoteToTrigger, buffered, true)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NoteToTrigger, direct, false)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
