#include "playback/playback.h"

namespace oskel {

namespace {
constexpr auto kServeStep = std::chrono::milliseconds(10);
} // namespace

Playback::Playback(Performance& performance, AudioMailbox& mailbox)
    : m_performance(performance)
    , m_mailbox(mailbox)
    , m_self(std::make_shared<Playback*>(this))
{
}

Playback::~Playback()
{
    if (m_thread) {
        m_thread->requestStop();
        m_thread->join();
    }
}

void Playback::create(bool suspended)
{
    if (m_thread) {
        return;
    }
    MainThreadDispatcher& mainThread = m_performance.mainThread();
    UserInterfacePort& ui = m_performance.ui();
    AudioCommandContext context { m_performance.slots(), m_performance.globals(),
        m_performance.layerStack(), [&mainThread, &ui](std::string text) {
            mainThread.post([&ui, text = std::move(text)] { ui.setStatusText(text); });
        } };
    std::weak_ptr<Playback*> self = m_self;
    m_thread = std::make_unique<AudioThread>(std::move(context), m_mailbox, m_companion, suspended,
        [&mainThread, self](const std::string& failure) {
            mainThread.post([self, failure] {
                if (const auto alive = self.lock()) {
                    (*alive)->onEnded(failure);
                }
            });
        });
}

void Playback::startAudioThread()
{
    create(false);
}

void Playback::startAudioThreadSuspended()
{
    create(true);
}

void Playback::resumeAudioThread()
{
    if (m_thread) {
        m_thread->resume();
    }
}

void Playback::stopAudioThread()
{
    if (!m_thread) {
        return;
    }
    // Taken out first, so that the queued "ended" call finds nothing left to free.
    const std::unique_ptr<AudioThread> thread = std::move(m_thread);
    thread->requestStop();
    // The frame thread may be blocked in a call onto this thread until it is served.
    while (!thread->hasEnded()) {
        m_performance.mainThread().serveFor(kServeStep);
    }
}

void Playback::onEnded(const std::string& failure)
{
    // The thread ended by itself (a failure): free it, and say why.
    if (m_thread && m_thread->hasEnded()) {
        m_thread.reset();
        if (!failure.empty()) {
            m_performance.ui().showMessage(failure);
        }
    }
}

bool Playback::audioThreadRunning() const
{
    return m_thread && !m_thread->hasEnded() && !m_thread->isSuspended();
}

bool Playback::audioThreadSuspended() const
{
    return m_thread && m_thread->isSuspended();
}

bool Playback::frameThreadRunning() const
{
    return m_thread && m_companion != nullptr && m_companion->isRunning();
}

} // namespace oskel
