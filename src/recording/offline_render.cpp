#include "recording/offline_render.h"

#include <thread>

namespace oskel {

namespace {

constexpr auto kSettleStep = std::chrono::microseconds(100);

// The frame clock's start-up and its end, which leaves the output blank, around a render
// whatever way it ends.
class SteppedFrameClock {
public:
    explicit SteppedFrameClock(FrameClock& clock)
        : m_clock(clock)
    {
        m_clock.setDecodeAhead(true);
        m_clock.begin();
    }
    ~SteppedFrameClock()
    {
        m_clock.end();
        m_clock.setDecodeAhead(false);
    }
    SteppedFrameClock(const SteppedFrameClock&) = delete;
    SteppedFrameClock& operator=(const SteppedFrameClock&) = delete;

private:
    FrameClock& m_clock;
};

// The sound goes to the output only while the render runs.
class SoundRouting {
public:
    SoundRouting(MixedSoundTap& tap, RenderOutput& output)
        : m_tap(tap)
    {
        m_tap.setOutput(&output);
    }
    ~SoundRouting() { m_tap.setOutput(nullptr); }
    SoundRouting(const SoundRouting&) = delete;
    SoundRouting& operator=(const SoundRouting&) = delete;

private:
    MixedSoundTap& m_tap;
};

} // namespace

OfflineRender::OfflineRender(ReplayInstrument instrument)
    : m_instrument(instrument)
{
}

void OfflineRender::run(const std::vector<ScriptAction>& actions, std::int64_t frames,
    int framesPerSecond, RenderOutput& output, const Progress& progress, const Cancelled& cancelled)
{
    if (frames < 1 || framesPerSecond < 1) {
        throw RenderFailure("A render needs at least one frame and one frame per second");
    }
    m_timing = RenderTiming { framesPerSecond, m_instrument.sound.outputRate() };
    m_nowMs = 0;
    m_soundFrame = 0;
    m_instrument.clock.set(0);
    m_instrument.sound.start();
    const SoundRouting routing(m_instrument.soundTap, output);
    const SteppedFrameClock stepped(m_instrument.frameClock);
    // The output is set up by now: its pictures are read back at its size.
    m_picture.resize(m_instrument.renderer.compositionSize().bgrBytes());
    std::size_t next = 0;
    for (std::int64_t frame = 0; frame < frames; ++frame) {
        carryOutDue(actions, next, frame);
        advanceSoundTo(m_timing.soundAtFrame(frame));
        renderFrame(frame, output);
        if (progress) {
            progress(frame + 1, frames);
        }
        if (cancelled && cancelled()) {
            throw RenderFailure("Render cancelled");
        }
    }
    carryOutDue(actions, next, frames);
    advanceSoundTo(m_timing.soundAtFrame(frames));
    output.finish();
}

void OfflineRender::carryOutDue(
    const std::vector<ScriptAction>& actions, std::size_t& next, std::int64_t frame)
{
    for (; next < actions.size() && m_timing.dueBy(actions[next].timeMs, frame); ++next) {
        advanceTime(actions[next].timeMs);
        m_instrument.player.carryOut(actions[next].command);
        settleAudioThread();
        m_instrument.mainThread.processPending();
    }
}

// Moves the performance's time on to `ms`, the sound with it; a time already passed (an
// action out of order) leaves both where they are.
void OfflineRender::advanceTime(std::int64_t ms)
{
    if (ms > m_nowMs) {
        m_nowMs = ms;
        m_instrument.clock.set(static_cast<std::uint32_t>(ms));
        advanceSoundTo(m_timing.soundAtMs(ms));
    }
}

void OfflineRender::advanceSoundTo(std::int64_t soundFrame)
{
    if (soundFrame > m_soundFrame) {
        m_instrument.sound.advanceFrames(soundFrame - m_soundFrame);
        m_soundFrame = soundFrame;
    }
}

// Waits until the audio command thread has taken every request of the mailbox, waking it for
// each, so that a trigger starts at the sample the action's time gives.
void OfflineRender::settleAudioThread()
{
    AudioMailbox& mailbox = m_instrument.mailbox;
    const auto pending = [&mailbox] {
        return mailbox.TriggerSlot != 0 || mailbox.PendingFrequency != 0
            || mailbox.PendingDirection != 0;
    };
    const auto deadline = std::chrono::steady_clock::now() + kAudioThreadPatience;
    while (pending() && m_instrument.playback.audioThreadRunning()) {
        if (std::chrono::steady_clock::now() > deadline) {
            throw RenderFailure("The sound engine did not take a request in time");
        }
        mailbox.AudioEvent.set();
        std::this_thread::sleep_for(kSettleStep);
    }
}

void OfflineRender::renderFrame(std::int64_t frame, RenderOutput& output)
{
    const std::int64_t ms = m_timing.frameMs(frame);
    if (ms > m_nowMs) {
        m_nowMs = ms;
    }
    m_instrument.clock.set(static_cast<std::uint32_t>(m_nowMs));
    m_instrument.frameClock.tick(FrameClock::WorkerWait::EveryWorker);
    m_instrument.mainThread.processPending();
    if (!m_instrument.renderer.readOutput(m_picture.data(), m_picture.size())) {
        throw RenderFailure("The output picture could not be read back");
    }
    output.writeFrame(m_picture.data());
}

} // namespace oskel
