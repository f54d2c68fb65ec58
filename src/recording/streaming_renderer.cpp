#include "recording/streaming_renderer.h"

#include <thread>

namespace oskel {

void StreamingRenderer::setStream(StreamOutput* stream) noexcept
{
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
        stream->offerFrameFrom(
            [this](std::uint8_t* bgr, std::size_t size) { return readOutput(bgr, size); });
    }
    m_presenting.store(false);
}

} // namespace oskel
