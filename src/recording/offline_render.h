#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "core/audio_mailbox.h"
#include "core/engine_ports.h"
#include "core/main_thread_dispatcher.h"
#include "platform/manual_clock_sound_device.h"
#include "playback/frame_clock.h"
#include "recording/action_player.h"
#include "recording/mixed_sound_tap.h"
#include "recording/performance_script.h"
#include "recording/render_output.h"
#include "recording/render_timing.h"
#include "recording/replay_clock.h"

namespace oskel {

// A render that cannot go on; the message says why.
class RenderFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The parts of the instrument a replay drives. The frame clock must not run its own thread:
// the replay steps it. The sound device's mixed output goes through `soundTap`, the
// renderer and the transport read `clock`.
struct ReplayInstrument {
    MainThreadDispatcher& mainThread;
    ActionPlayer& player;
    AudioMailbox& mailbox;
    PlaybackControl& playback;
    FrameClock& frameClock;
    FrameRenderer& renderer;
    ManualClockSoundDevice& sound;
    MixedSoundTap& soundTap;
    ReplayClock& clock;
};

// Replays a performance tick by tick on the manual sound clock and writes every output
// picture and the mixed sound: frame n is the picture after the tick at n x 1000 / fps ms;
// every action up to that time is carried out before the tick (the sound clock first moved
// to the action's own time, the audio command thread given every request it was sent); the
// sound runs on to the end of the last frame. Actions whose times are out of order are
// carried out in file order. The same performance gives the same frames and the same sound
// every time. Main thread.
class OfflineRender {
public:
    using Progress = std::function<void(std::int64_t framesDone, std::int64_t frames)>;
    // Asked after every frame: true ends the render as a failure.
    using Cancelled = std::function<bool()>;

    // How long the audio command thread may take to take a request.
    static constexpr auto kAudioThreadPatience = std::chrono::seconds(5);

    explicit OfflineRender(ReplayInstrument instrument);

    // Throws RenderFailure or OutputError; the output is then left unfinished.
    void run(const std::vector<ScriptAction>& actions, std::int64_t frames, int framesPerSecond,
        RenderOutput& output, const Progress& progress = {}, const Cancelled& cancelled = {});

private:
    void carryOutDue(
        const std::vector<ScriptAction>& actions, std::size_t& next, std::int64_t frame);
    void advanceTime(std::int64_t ms);
    void advanceSoundTo(std::int64_t soundFrame);
    void settleAudioThread();
    void renderFrame(std::int64_t frame, RenderOutput& output);

    ReplayInstrument m_instrument;
    RenderTiming m_timing;
    std::int64_t m_nowMs = 0;
    std::int64_t m_soundFrame = 0;
    std::vector<std::uint8_t> m_picture;
};

} // namespace oskel
