#include "recording/streaming_renderer.h"

#include <thread>

namespace oskel {

void StreamingRenderer::setStream(StreamOutput* stream, int framesPerSecond) noexcept
{
    m_stream.store(nullptr);
    while (m_presenting.load()) {
        std::this_thread::yield();
    }
    m_start = m_now();
    m_framesPerSecond = framesPerSecond;
    ++m_streamsSet;
    m_stream.store(stream);
    // A Present that took the old stream before the store is the only user left: wait for
    // it, at most one read-back.
    while (m_presenting.load()) {
        std::this_thread::yield();
    }
}

void StreamingRenderer::Present()
{
    ForwardingRenderer::Present();
    m_presenting.store(true);
    if (StreamOutput* stream = m_stream.load()) {
        offerTo(*stream);
    }
    m_presenting.store(false);
}

void StreamingRenderer::offerTo(StreamOutput& stream)
{
    if (m_streamsSeen != m_streamsSet) {
        m_streamsSeen = m_streamsSet;
        m_lastFrame = -1;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(m_now() - m_start);
    const std::int64_t frame = elapsed.count() * m_framesPerSecond / 1'000'000;
    if (frame <= m_lastFrame) {
        return; // the stream's frame was offered already: the ticks are faster than it
    }
    m_lastFrame = frame;
    stream.offerFrameAt(
        frame, [this](std::uint8_t* bgr, std::size_t size) { return readOutput(bgr, size); });
}

} // namespace oskel
