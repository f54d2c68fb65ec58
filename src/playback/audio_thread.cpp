#include "playback/audio_thread.h"

#include "core/slot_sound.h"

namespace oskel {

namespace {

constexpr auto kWakePeriod = std::chrono::milliseconds(150);

} // namespace

AudioThread::AudioThread(AudioCommandContext context, AudioMailbox& mailbox,
    PlaybackCompanion* companion, bool suspended, EndedHandler ended)
    : m_context(std::move(context))
    , m_mailbox(mailbox)
    , m_companion(companion)
    , m_endedHandler(std::move(ended))
    , m_suspended(suspended)
{
    // A stop request left over from an earlier thread must not end this one.
    m_mailbox.AudioStopRequest = false;
    m_thread = std::thread([this] { body(); });
}

AudioThread::~AudioThread()
{
    if (!m_ended) {
        requestStop();
    }
    join();
}

void AudioThread::resume()
{
    {
        std::lock_guard guard(m_resumeLock);
        m_suspended = false;
    }
    m_resumed.notify_all();
}

void AudioThread::requestStop()
{
    m_mailbox.AudioStopRequest = true;
    m_mailbox.AudioEvent.set();
    resume(); // a suspended thread must wake to end
}

void AudioThread::join()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void AudioThread::waitUntilResumed()
{
    std::unique_lock guard(m_resumeLock);
    m_resumed.wait(guard, [this] { return !m_suspended; });
}

void AudioThread::body()
{
    waitUntilResumed();
    std::string failure;
    try {
        if (m_companion != nullptr) {
            m_companion->start();
        }
        while (!m_mailbox.AudioStopRequest) {
            m_mailbox.AudioEvent.waitFor(kWakePeriod);
            m_mailbox.AudioEvent.reset();
            if (m_mailbox.AudioStopRequest) {
                break;
            }
            serveAudioMailbox(m_context, m_mailbox);
        }
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (m_companion != nullptr) {
        m_companion->stop();
    }
    for (auto& slot : m_context.slots) {
        try {
            StopSlotSound(slot);
        } catch (const std::exception&) {
            // The thread is ending anyway; the other slots must still be stopped.
        }
    }
    m_mailbox.AudioStopRequest = false;
    m_ended = true;
    m_endedHandler(failure);
}

} // namespace oskel
