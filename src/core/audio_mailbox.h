#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace oskel {

// A manual-reset event: once set it stays set until reset; waiters wake when it is set.
class WakeEvent {
public:
    void set()
    {
        {
            std::lock_guard guard(m_lock);
            m_set = true;
        }
        m_changed.notify_all();
    }
    void reset()
    {
        std::lock_guard guard(m_lock);
        m_set = false;
    }
    // Returns whether the event was set before the time ran out.
    bool waitFor(std::chrono::milliseconds timeout)
    {
        std::unique_lock guard(m_lock);
        return m_changed.wait_for(guard, timeout, [this] { return m_set; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_set = false;
};

// The requests that the event processor hands to the audio command thread. The writer fills
// the other fields first and the field that makes a request pending (TriggerSlot,
// PendingFrequency, PendingDirection) last, then sets AudioEvent; the audio thread clears that
// field once it has carried the request out.
struct AudioMailbox {
    std::atomic<std::int32_t> TriggerSlot = 0;
    std::atomic<std::int32_t> TriggerVolume = 0;
    std::atomic<std::int32_t> TriggerPan = 0;
    std::atomic<std::int32_t> FrequencySlot = 0;
    std::atomic<std::int32_t> PendingFrequency = 0;
    std::atomic<std::int32_t> DirectionSlot = 0;
    std::atomic<std::int32_t> PendingDirection = 0;
    std::atomic<bool> AudioStopRequest = false;
    WakeEvent AudioEvent;
};

} // namespace oskel
