#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "platform/osc_port.h"
#include "recording/osc_commands.h"
#include "recording/osc_feedback.h"

namespace oskel {

// OSC control of the instrument: the port the options choose, each message carried out on the
// main thread as the same action a performance file's line is (so a recording keeps it), the
// address list answered, and the changed values sent to the clients that subscribed. Packets
// arrive on the port's thread and are handed to the main thread; when more than a few
// thousand wait there, the newest are dropped and counted, so a flood never piles up.
class InstrumentOsc {
public:
    struct Links {
        Performance& performance;
        MainThreadDispatcher& mainThread;
        // Carries out an action as a performance file's line does.
        std::function<void(const ScriptCommand&)> carryOut;
    };
    struct Counts {
        std::uint64_t taken = 0;
        std::uint64_t refused = 0;
        std::uint64_t dropped = 0;
    };
    static constexpr int kMaxWaitingPackets = 4096;
    static constexpr std::size_t kMaxSubscribers = 16;

    InstrumentOsc(Links links, std::unique_ptr<OscPort> port);
    ~InstrumentOsc();
    InstrumentOsc(const InstrumentOsc&) = delete;
    InstrumentOsc& operator=(const InstrumentOsc&) = delete;

    // Opens, moves or closes the port as the OSC options say; a port that cannot be opened
    // is said in the status line.
    void optionsChanged();
    void stop();
    // Each turn of the main thread's loop: the subscribers hear what changed.
    void mainLoopTurn();

    OscPort& port() { return *m_port; }
    // Any thread (the monitor's).
    Counts counts() const;
    // "OSC: 12 taken, 0 refused, 0 dropped" while OSC is on; empty while it is off.
    std::string countsText() const;
    // Why the last refused message was refused; empty when none was.
    const std::string& lastRefusal() const { return m_lastRefusal; }

private:
    void received(OscPacket packet, const OscClient& from);
    void serve(const OscPacket& packet, const OscClient& from);
    void handle(const OscMessage& message, const OscClient& from);
    void refuse(std::string reason);
    void subscribe(const OscClient& client, bool on);

    Links m_links;
    std::unique_ptr<OscPort> m_port;
    std::shared_ptr<std::atomic<bool>> m_alive = std::make_shared<std::atomic<bool>>(true);
    std::atomic<int> m_waiting { 0 };
    std::atomic<std::uint64_t> m_dropped { 0 };
    std::atomic<std::uint64_t> m_taken { 0 };
    std::atomic<std::uint64_t> m_refused { 0 };
    std::string m_lastRefusal;
    OscOptions m_opened;
    std::atomic<bool> m_isOpen { false };
    std::vector<OscClient> m_subscribers;
    OscFeedback m_feedback;
};

} // namespace oskel
