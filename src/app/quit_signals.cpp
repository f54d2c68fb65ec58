#include "app/quit_signals.h"

#include <cstdlib>

#include <pthread.h>

namespace oskel {

QuitSignals::QuitSignals()
{
    sigemptyset(&m_signals);
    sigaddset(&m_signals, SIGINT);
    sigaddset(&m_signals, SIGTERM);
    sigaddset(&m_signals, SIGHUP);
    // SIGUSR1 only releases the waiting thread when the program ends for another reason.
    sigaddset(&m_signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &m_signals, nullptr);
    m_waiter = std::thread([this] { wait(); });
}

void QuitSignals::wait()
{
    int received = 0;
    sigwait(&m_signals, &received);
    if (received == SIGUSR1) {
        return;
    }
    std::function<void()> quit;
    {
        const std::lock_guard guard(m_lock);
        quit = std::move(m_quit);
    }
    if (!quit) {
        // The status a shell reports for a program ended by the signal.
        std::_Exit(128 + received);
    }
    quit();
}

void QuitSignals::start(std::function<void()> quit)
{
    const std::lock_guard guard(m_lock);
    m_quit = std::move(quit);
}

QuitSignals::~QuitSignals()
{
    if (m_waiter.joinable()) {
        pthread_kill(m_waiter.native_handle(), SIGUSR1);
        m_waiter.join();
    }
}

} // namespace oskel
