#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/midi_out_port.h"
#include "platform/midi_out_queue.h"

namespace oskel {

// The thread that owns the control surface's output device: every message is queued and sent
// from here, so that the device has one writer whichever thread the message came from. A
// device that failed to open stays failed: later open requests are ignored until it is closed.
// A send that fails ends the thread, with the reason kept for the performer.
class TMidiOutThread final : public MidiOutQueue {
public:
    explicit TMidiOutThread(MidiDevices& devices);
    ~TMidiOutThread() override;
    TMidiOutThread(const TMidiOutThread&) = delete;
    TMidiOutThread& operator=(const TMidiOutThread&) = delete;

    void open(const std::string& device) override;
    void close() override;
    State state() const override { return m_state.load(); }
    void send(std::vector<std::uint8_t> bytes, int key) override;
    void controlChange(std::uint8_t controller, std::uint8_t value) override;

    // Why the thread ended, when a send failed; empty while it runs.
    std::string failure() const;
    // Waits until everything queued so far has been sent (tests, shut-down).
    void drain();

private:
    enum class Kind { Open, Close, Send, ControlChange, End };
    struct Message {
        Kind kind = Kind::Send;
        std::vector<std::uint8_t> bytes;
        int key = 0;
        std::string device;
    };

    void post(Message message);
    void run();
    void carryOut(const Message& message);

    MidiOutPort m_port;
    std::atomic<State> m_state { State::Closed };
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Message> m_queue;
    bool m_busy = false;
    std::string m_failure;
    std::thread m_thread;
};

} // namespace oskel
