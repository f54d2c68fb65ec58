#pragma once

namespace oskel {

// What the slot operations need to know of the playback threads.
class PlaybackThreads {
public:
    virtual ~PlaybackThreads() = default;
    // The audio command thread exists (it owns the frame thread).
    virtual bool audioThreadExists() const = 0;
    // The frame thread is still running its ticks, so it will set FrameAck again.
    virtual bool frameThreadRunning() const = 0;
};

// Starting and ending the audio command thread, for the event processor (standby, triggers).
class PlaybackControl : public PlaybackThreads {
public:
    virtual bool audioThreadRunning() const = 0;
    virtual bool audioThreadSuspended() const = 0;
    virtual void startAudioThread() = 0;
    virtual void resumeAudioThread() = 0;
    // Returns once the thread has ended.
    virtual void stopAudioThread() = 0;
};

// Where the playback engine reports to the windows. Main thread only (the frame thread posts).
class PlaybackMonitor {
public:
    virtual ~PlaybackMonitor() = default;
    // A tick drew at least one slot; the mean decode, processing and upload-and-draw times.
    virtual void tickDrawn(int decodeMs, int processingMs, int uploadMs) = 0;
    // The native frame rate of a newly loaded clip.
    virtual void clipFrameRate(int framesPerSecond) = 0;
    // The textures of newly loaded clips are made.
    virtual void newClipsReady() = 0;
    // After every tick: the clip slot grid and the inspected slot's beat counter.
    virtual void refreshGridAndBeatCounter() = 0;
};

class SilentPlaybackMonitor : public PlaybackMonitor {
public:
    void tickDrawn(int, int, int) override { }
    void clipFrameRate(int) override { }
    void newClipsReady() override { }
    void refreshGridAndBeatCounter() override { }
};

// What the slot operations tell the renderer directly.
class RendererPort {
public:
    virtual ~RendererPort() = default;
    virtual void SetSlotBurn(int slot, bool burn) = 0;
    // Clears the output once, wiping the trails.
    virtual void ClearOutput() = 0;
};

} // namespace oskel
