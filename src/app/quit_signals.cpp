#include "app/quit_signals.h"

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
}

void QuitSignals::start(std::function<void()> quit)
{
    m_waiter = std::thread([this, quit = std::move(quit)] {
        int received = 0;
        sigwait(&m_signals, &received);
        if (received != SIGUSR1) {
            quit();
        }
    });
}

QuitSignals::~QuitSignals()
{
    if (m_waiter.joinable()) {
        pthread_kill(m_waiter.native_handle(), SIGUSR1);
        m_waiter.join();
    }
}

} // namespace oskel
