#pragma once

#include "core/engine_ports.h"

namespace oskel::test {

// Playback threads that exist only as flags: requests put in the mailbox stay there for the
// test to look at.
class FakePlayback : public PlaybackControl {
public:
    bool exists = true;
    bool suspended = false;
    int starts = 0;
    int stops = 0;
    int resumes = 0;

    bool audioThreadExists() const override { return exists; }
    bool frameThreadRunning() const override { return false; }
    bool audioThreadRunning() const override { return exists && !suspended; }
    bool audioThreadSuspended() const override { return exists && suspended; }
    void startAudioThread() override
    {
        exists = true;
        ++starts;
    }
    void resumeAudioThread() override
    {
        suspended = false;
        ++resumes;
    }
    void stopAudioThread() override
    {
        exists = false;
        ++stops;
    }
};

} // namespace oskel::test
