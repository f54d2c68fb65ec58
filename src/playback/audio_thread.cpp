#include "playback/audio_thread.h"

#include "playback/audio_engine.h"

namespace oskel {

namespace {

constexpr auto kWakePeriod = std::chrono::milliseconds(150);

// Runs an action when the scope ends, however it ends.
template <typename Action>
class Finally {
public:
    explicit Finally(Action action) : m_action(std::move(action)) {}
    ~Finally() { m_action(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    Action m_action;
};

template <typename Action>
Finally<Action> finally(Action action)
{
    return Finally<Action>(std::move(action));
}

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

void AudioThread::serveRequests()
{
    const int frequencySlot = m_mailbox.FrequencySlot;
    if (m_mailbox.PendingFrequency > 0 && isValidSlot(frequencySlot)
        && m_context.slots[frequencySlot].Loaded) {
        if (const auto buffer = activeBuffer(m_context.slots[frequencySlot])) {
            try {
                buffer->setFrequency(m_mailbox.PendingFrequency);
            } catch (const SoundError&) {
                // A refused frequency leaves the speed as it was; nothing to report.
            }
        }
        m_mailbox.PendingFrequency = 0;
    }
    const int triggerSlot = m_mailbox.TriggerSlot;
    if (triggerSlot > 0) {
        // A request for a slot that is not loaded stays pending until it is.
        if (isValidSlot(triggerSlot) && m_context.slots[triggerSlot].Loaded) {
            // A request that failed is taken all the same, so it is not tried for ever.
            const auto taken = finally([this] { m_mailbox.TriggerSlot = 0; });
            carryOutTrigger(m_context, triggerSlot, m_mailbox.TriggerVolume, m_mailbox.TriggerPan);
        }
    } else if (const int direction = m_mailbox.PendingDirection; direction > 0) {
        const int slot = m_mailbox.DirectionSlot;
        const auto taken = finally([this] { m_mailbox.PendingDirection = 0; });
        if (isValidSlot(slot) && m_context.slots[slot].Loaded) {
            carryOutDirectionChange(m_context, slot, direction);
        }
    }
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
            serveRequests();
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
