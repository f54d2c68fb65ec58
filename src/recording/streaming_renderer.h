#pragma once

#include <atomic>
#include <chrono>
#include <functional>

#include "recording/forwarding_renderer.h"
#include "recording/stream_output.h"
#include "recording/virtual_camera.h"

namespace oskel {

// A renderer that draws with another one and hands the presented pictures to the stream and
// the virtual camera set, if any, each at its own frame rate whatever the rate of the ticks:
// the picture presented when a frame is due is read back from the drawing surface straight
// into a free slot, or not at all when the receiver is behind. When both are due at once the
// picture is read back once and copied.
class StreamingRenderer final : public ForwardingRenderer {
public:
    using Clock = std::chrono::steady_clock;

    explicit StreamingRenderer(std::unique_ptr<FrameRenderer> renderer,
        std::function<Clock::time_point()> now = Clock::now)
        : ForwardingRenderer(std::move(renderer))
        , m_now(std::move(now))
    {
    }

    // Main thread. The stream the pictures go to; null: none. When this returns, the frame
    // thread no longer uses the stream set before, which may then be dropped.
    // Its frames are counted from this call, at `framesPerSecond`.
    void setStream(StreamOutput* stream, int framesPerSecond = 25) noexcept;
    // Main thread. The same for the virtual camera.
    void setCamera(VirtualCamera* camera, int framesPerSecond = 25) noexcept;

    void Present() override;

private:
    // One receiver of the pictures and when it had its last.
    template <typename Receiver> struct Paced {
        // Set by the main thread before the receiver: the frame thread reads them after
        // taking it.
        Clock::time_point start;
        int framesPerSecond = 25;
        std::uint64_t set = 0;
        std::uint64_t seen = 0; // the frame thread's
        std::int64_t lastFrame = -1; // the frame thread's
        std::atomic<Receiver*> receiver = nullptr;
    };

    template <typename Receiver>
    void setReceiver(Paced<Receiver>& paced, Receiver* receiver, int framesPerSecond) noexcept;
    // The frame of `paced` due now, or -1 when it was offered already.
    template <typename Receiver> std::int64_t dueFrame(Paced<Receiver>& paced);
    void waitForPresent() const noexcept;

    std::function<Clock::time_point()> m_now;
    Paced<StreamOutput> m_stream;
    Paced<VirtualCamera> m_camera;
    std::atomic<bool> m_presenting = false;
};

} // namespace oskel
