// From an OSC message sent over UDP on 127.0.0.1 to its setting handed to the event
// processor: the socket, the port's thread, the hand-over to the main thread, the address
// looked up in the control table and the action carried out. The median and the 99th
// percentile of 2000 messages, each sent while the main thread waits in its loop, beside the
// goal of 1 ms and the 40 ms of one tick at 25 frames per second.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/instrument_osc.h"
#include "core/main_thread_dispatcher.h"
#include "platform/udp_osc_port.h"
#include "recording/action_player.h"

namespace {

using namespace oskel;
using Clock = std::chrono::steady_clock;

constexpr int kMessages = 2000;

// Takes the time each setting arrives where the event processor would take it.
class ArrivalClock : public EventSink {
public:
    void ProcessEvent(const TSlotEvent&) override
    {
        arrived.store(Clock::now().time_since_epoch().count());
    }
    std::atomic<Clock::rep> arrived { 0 };
};

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values.at(static_cast<std::size_t>(share * double(values.size() - 1)));
}

void BM_MessageToSetting(benchmark::State& state)
{
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    ArrivalClock arrivals;
    ActionPlayer player(
        arrivals, performance, [](int, const std::filesystem::path&) {}, [](const KeyAction&) {},
        ui);
    InstrumentOsc osc(InstrumentOsc::Links { performance, mainThread,
                          [&player](const ScriptCommand& command) { player.carryOut(command); } },
        nullptr);
    performance.options().osc = OscOptions { true, 0, false };
    osc.optionsChanged();
    UdpOscPort tablet;
    if (!osc.port().isOpen() || !tablet.open(0, false).empty()) {
        state.SkipWithError("no UDP port on 127.0.0.1");
        return;
    }
    const OscClient instrument { 0x7F000001, osc.port().boundPort() };

    std::vector<double> microseconds;
    for (auto _ : state) {
        microseconds.clear();
        std::atomic<bool> done { false };
        std::thread sender([&] {
            for (int k = 0; k < kMessages; ++k) {
                std::this_thread::sleep_for(std::chrono::microseconds(500));
                const Clock::rep before = arrivals.arrived.load();
                const Clock::rep sent = Clock::now().time_since_epoch().count();
                tablet.send(instrument,
                    { "/oskel/master/crossfadeposition", { std::int64_t { k % 256 } } });
                while (arrivals.arrived.load() == before) {
                    std::this_thread::yield();
                }
                microseconds.push_back(double(arrivals.arrived.load() - sent) / 1000.0);
            }
            done = true;
            mainThread.post([] {});
        });
        while (!done) {
            mainThread.serveFor(std::chrono::milliseconds(100));
        }
        sender.join();
    }
    state.counters["median_us"] = percentile(microseconds, 0.5);
    state.counters["p99_us"] = percentile(microseconds, 0.99);
    state.counters["goal_p99_us"] = 1000;
    state.counters["tick_at_25fps_us"] = 40000;
}

BENCHMARK(BM_MessageToSetting)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
