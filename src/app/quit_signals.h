#pragma once

#include <functional>
#include <mutex>
#include <thread>

#include <signal.h>

namespace oskel {

// Waits on a thread of its own for the signals that end the program (SIGINT, SIGTERM,
// SIGHUP). Made before any other thread starts, so that every thread inherits the blocked
// signals. Until the program is ready to end in order (start), such a signal ends it at once,
// as it would without this class: nothing is saved yet that a quick end could lose, and a
// start-up that waits on something never waits for ever.
class QuitSignals {
public:
    QuitSignals();
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // From now on a signal calls `quit` instead, on the waiting thread, at most once.
    void start(std::function<void()> quit);

private:
    void wait();

    sigset_t m_signals {};
    std::mutex m_lock;
    std::function<void()> m_quit;
    std::thread m_waiter;
};

} // namespace oskel
