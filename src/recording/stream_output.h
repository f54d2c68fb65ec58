#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/spsc_ring.h"
#include "recording/picture_handover.h"
#include "recording/stream_target.h"

namespace oskel {

// Told once, on the stream's thread, why the stream stopped (unreachable, refused, stalled).
using StreamProblemHandler = std::function<void(const std::string& message)>;

// Sends the composed picture and the mixed sound to other machines as a live stream
// (see StreamTarget). Connecting, compressing and sending run on a thread of the stream's
// own, so the frame thread only hands a picture over: into a free slot of kSlots made at
// construction, or, when the compressor is behind and every slot is taken, nowhere (the
// picture is dropped and counted). Handing over never waits and never allocates.
// When the network fails or takes nothing for `stallLimit`, the problem is told once and
// the stream stops; pictures handed over then are ignored. Dropped without finish(), the
// stream gives up at once, whatever the network is doing.
class StreamOutput {
public:
    static constexpr std::size_t kSlots = PictureHandover::kSlots;
    static constexpr std::chrono::seconds kStallLimit { 5 };
    static constexpr int kSoundRate = 44100;
    // Sound waiting to be compressed: a second of 48000 Hz stereo.
    static constexpr std::size_t kSoundSamples = 48000 * 2;

    // With `withSound`, the stream carries AAC sound besides the pictures: 44100 Hz stereo,
    // converted from `soundRate` (8000..192000 Hz) on the stream's thread when it differs.
    StreamOutput(StreamTarget target, bool withSound, StreamProblemHandler problem,
        std::chrono::milliseconds stallLimit = kStallLimit, int soundRate = kSoundRate);
    ~StreamOutput();
    StreamOutput(const StreamOutput&) = delete;
    StreamOutput& operator=(const StreamOutput&) = delete;

    // The frame thread. The composed blue-green-red picture, top row first, of the target
    // encoding's picture size (384 x 288 unless it says otherwise); it
    // stands for the next frame of the stream's rate, whether sent or dropped. False when
    // dropped.
    bool offerFrame(const std::uint8_t* bgr) noexcept;
    // The frame thread: the picture shown at `frame` of the stream's rate, for a frame
    // thread that ticks at a rate of its own; each frame must come after the one before.
    // `fill` writes the picture straight into a free slot (a read-back of the drawing
    // surface), so a dropped picture costs no read-back and a sent one no second copy.
    // `fill(bgr, size)` returns false when it has no picture; nothing is offered then.
    // False when nothing was handed over.
    template <typename Fill> bool offerFrameAt(std::int64_t frame, Fill&& fill) noexcept
    {
        return running() && m_pictures.offerAt(frame, std::forward<Fill>(fill));
    }
    // The sound thread (the frame thread in a render): 16-bit stereo sample frames at the
    // sound rate, interleaved. What finds no room is dropped. Never waits or allocates.
    void offerSound(std::span<const std::int16_t> samples) noexcept;
    // Sends what was handed over, ends the stream and waits for the thread: at most the
    // stall limit when the network takes nothing.
    void finish();

    std::int64_t framesSent() const noexcept { return m_sent.load(std::memory_order_relaxed); }
    std::int64_t framesDropped() const noexcept { return m_pictures.dropped(); }
    // Whether the stream still takes pictures: false after a problem or finish().
    bool running() const noexcept
    {
        return m_state.load(std::memory_order_relaxed) == State::Running;
    }

private:
    enum class State { Running, Finishing, Failed, Abandoned };
    class Connection;

    void run();
    void stream();
    bool sendWaiting(Connection& connection);
    void wake() noexcept;
    void fail(const std::string& message);
    static int interrupted(void* self);

    StreamTarget m_target;
    bool m_withSound;
    StreamProblemHandler m_problem;
    std::chrono::milliseconds m_stallLimit;
    int m_soundRate;
    std::atomic<std::uint32_t> m_wakes = 0;
    PictureHandover m_pictures;
    std::int64_t m_nextFrame = 0; // the frame thread's: offerFrame's next
    struct SampleFrame {
        std::int16_t left = 0;
        std::int16_t right = 0;
    };
    SpscRing<SampleFrame> m_sound { kSoundSamples / 2 };
    std::vector<std::int16_t> m_soundBlock; // the stream thread's
    std::atomic<State> m_state = State::Running;
    std::atomic<std::int64_t> m_sent = 0;
    // When the stream thread began its current wait on the network.
    std::chrono::steady_clock::time_point m_waitBegan;
    bool m_stalled = false;
    std::thread m_thread;
};

} // namespace oskel
