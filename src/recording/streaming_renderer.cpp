#include "recording/streaming_renderer.h"

#include <cstring>
#include <thread>

namespace oskel {

void StreamingRenderer::waitForPresent() const noexcept
{
    while (m_presenting.load()) {
        std::this_thread::yield();
    }
}

template <typename Receiver>
void StreamingRenderer::setReceiver(
    Paced<Receiver>& paced, Receiver* receiver, int framesPerSecond) noexcept
{
    paced.receiver.store(nullptr);
    waitForPresent();
    paced.start = m_now();
    paced.framesPerSecond = framesPerSecond;
    ++paced.set;
    paced.receiver.store(receiver);
    // A Present that took the old receiver before the store is the only user left: wait for
    // it, at most one read-back.
    waitForPresent();
}

void StreamingRenderer::setStream(StreamOutput* stream, int framesPerSecond) noexcept
{
    setReceiver(m_stream, stream, framesPerSecond);
}

void StreamingRenderer::setCamera(VirtualCamera* camera, int framesPerSecond) noexcept
{
    setReceiver(m_camera, camera, framesPerSecond);
}

template <typename Receiver> std::int64_t StreamingRenderer::dueFrame(Paced<Receiver>& paced)
{
    if (paced.seen != paced.set) {
        paced.seen = paced.set;
        paced.lastFrame = -1;
    }
    const auto elapsed
        = std::chrono::duration_cast<std::chrono::microseconds>(m_now() - paced.start);
    const std::int64_t frame = elapsed.count() * paced.framesPerSecond / 1'000'000;
    if (frame <= paced.lastFrame) {
        return -1; // offered already: the ticks are faster than the receiver
    }
    paced.lastFrame = frame;
    return frame;
}

void StreamingRenderer::Present()
{
    ForwardingRenderer::Present();
    m_presenting.store(true);
    StreamOutput* stream = m_stream.receiver.load();
    VirtualCamera* camera = m_camera.receiver.load();
    const std::uint8_t* readBack = nullptr;
    std::size_t readBackSize = 0;
    if (stream != nullptr) {
        if (const std::int64_t frame = dueFrame(m_stream); frame >= 0) {
            stream->offerFrameAt(frame, [&](std::uint8_t* bgr, std::size_t size) {
                const bool read = readOutput(bgr, size);
                readBack = read ? bgr : nullptr;
                readBackSize = size;
                return read;
            });
        }
    }
    if (camera != nullptr) {
        if (const std::int64_t frame = dueFrame(m_camera); frame >= 0) {
            camera->offerFrameAt(frame, [&](std::uint8_t* bgr, std::size_t size) {
                if (readBack != nullptr && readBackSize == size) {
                    std::memcpy(bgr, readBack, size);
                    return true;
                }
                return readOutput(bgr, size);
            });
        }
    }
    m_presenting.store(false);
}

} // namespace oskel
