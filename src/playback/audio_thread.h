#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core/audio_mailbox.h"
#include "playback/slot_commands.h"

namespace oskel {

// Threads that live and die with the audio command thread (the frame thread).
class PlaybackCompanion {
public:
    virtual ~PlaybackCompanion() = default;
    // Audio command thread, before it takes its first request.
    virtual void start() = 0;
    // Audio command thread, when it ends; returns once the companion has stopped.
    virtual void stop() = 0;
    // Any thread: still running its loop.
    virtual bool isRunning() const = 0;
};

// The audio command thread: carries out the requests of the audio mailbox. It wakes on
// AudioEvent, or every 150 ms, and takes a pending frequency, then a trigger, or else a
// direction change. When it ends, by request or by a failure, it stops every slot's buffers
// and calls `ended` (on its own thread) with the failure's message, if any.
class AudioThread {
public:
    using EndedHandler = std::function<void(const std::string& failure)>;

    AudioThread(AudioCommandContext context, AudioMailbox& mailbox, PlaybackCompanion* companion,
        bool suspended, EndedHandler ended);
    ~AudioThread();
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    bool isSuspended() const { return m_suspended; }
    void resume();
    void requestStop();
    bool hasEnded() const { return m_ended; }
    void join();

private:
    void body();
    void waitUntilResumed();

    AudioCommandContext m_context;
    AudioMailbox& m_mailbox;
    PlaybackCompanion* m_companion;
    EndedHandler m_endedHandler;
    std::mutex m_resumeLock;
    std::condition_variable m_resumed;
    std::atomic<bool> m_suspended;
    std::atomic<bool> m_ended = false;
    std::thread m_thread;
};

} // namespace oskel
