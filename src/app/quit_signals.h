#pragma once

#include <functional>
#include <thread>

#include <signal.h>

namespace oskel {

// Waits on a thread of its own for the signals that end the program (SIGINT, SIGTERM,
// SIGHUP) and calls the handler there. Made before any other thread starts, so that every
// thread inherits the blocked signals.
class QuitSignals {
public:
    QuitSignals();
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // `quit` runs on the waiting thread, at most once.
    void start(std::function<void()> quit);

private:
    sigset_t m_signals {};
    std::thread m_waiter;
};

} // namespace oskel
