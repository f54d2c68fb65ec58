#pragma once

#include <atomic>
#include <chrono>
#include <functional>

#include "recording/forwarding_renderer.h"
#include "recording/stream_output.h"

namespace oskel {

// A renderer that draws with another one and hands the presented pictures to the stream set,
// if any, at the stream's frame rate whatever the rate of the ticks: the picture presented
// when a frame of the stream is due is read back from the drawing surface straight into the
// stream's free slot, or not at all when the stream is behind.
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

    void Present() override;

private:
    void offerTo(StreamOutput& stream);

    std::function<Clock::time_point()> m_now;
    // Set by setStream before the stream: the frame thread reads them after taking it.
    Clock::time_point m_start;
    int m_framesPerSecond = 25;
    std::uint64_t m_streamsSet = 0;
    std::uint64_t m_streamsSeen = 0; // the frame thread's
    std::int64_t m_lastFrame = -1; // the frame thread's
    std::atomic<StreamOutput*> m_stream = nullptr;
    std::atomic<bool> m_presenting = false;
};

} // namespace oskel
