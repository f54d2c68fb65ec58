#pragma once

#include <memory>
#include <string>

#include "core/audio_mailbox.h"
#include "core/engine_ports.h"
#include "core/performance.h"
#include "playback/audio_thread.h"

namespace oskel {

// Owns the audio command thread (and, through it, the frame thread): starts it, starts it
// suspended, resumes it, and ends it for standby. Main thread only.
class Playback : public PlaybackControl {
public:
    Playback(Performance& performance, AudioMailbox& mailbox);
    ~Playback() override;
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    void setCompanion(PlaybackCompanion* companion) { m_companion = companion; }

    void startAudioThread() override;
    void startAudioThreadSuspended();
    void resumeAudioThread() override;
    // Ends the audio thread and waits for it, serving the main thread's queue meanwhile.
    void stopAudioThread() override;

    bool audioThreadExists() const override { return m_thread != nullptr; }
    bool audioThreadRunning() const override;
    bool audioThreadSuspended() const override;
    bool frameThreadRunning() const override;

private:
    void create(bool suspended);
    void onEnded(const std::string& failure);

    Performance& m_performance;
    AudioMailbox& m_mailbox;
    PlaybackCompanion* m_companion = nullptr;
    std::unique_ptr<AudioThread> m_thread;
    // Lets a queued "thread ended" call see whether this object still exists.
    std::shared_ptr<Playback*> m_self;
};

} // namespace oskel
