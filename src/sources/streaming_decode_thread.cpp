#include "sources/streaming_decode_thread.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace oskel {

StreamingDecodeThread::StreamingDecodeThread(
    std::unique_ptr<VideoDecoder> decoder, double frameDuration, FrameCallback onFrame)
    : m_decoder(std::move(decoder))
    , m_frameDuration(frameDuration)
    , m_origin(m_decoder->info().firstFrameTime)
    , m_onFrame(std::move(onFrame))
    , m_thread([this] { loop(); })
{
}

StreamingDecodeThread::~StreamingDecodeThread()
{
    close();
}

void StreamingDecodeThread::run()
{
    std::lock_guard lock(m_mutex);
    m_running = true;
    m_wake.notify_all();
}

void StreamingDecodeThread::pause()
{
    std::lock_guard lock(m_mutex);
    m_running = false;
}

void StreamingDecodeThread::cue()
{
    std::lock_guard lock(m_mutex);
    m_cue = true;
    m_wake.notify_all();
}

void StreamingDecodeThread::seek(double seconds)
{
    std::lock_guard lock(m_mutex);
    m_seekTo = seconds;
    m_seekPending = true;
    m_wake.notify_all();
}

void StreamingDecodeThread::requestClose()
{
    std::lock_guard lock(m_mutex);
    m_closing = true;
    m_wake.notify_all();
}

void StreamingDecodeThread::close()
{
    requestClose();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void StreamingDecodeThread::loop()
{
    std::optional<double> seekTo;
    while (waitForWork(seekTo)) {
        const DecodedFrame* frame = decodeNext(seekTo);
        if (frame == nullptr) {
            m_atEnd = true;
            continue;
        }
        m_onFrame(*frame, frame->time - m_origin, *this);
    }
}

// Sleeps until there is something to do; false when the thread is to end.
bool StreamingDecodeThread::waitForWork(std::optional<double>& seekTo)
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(
        lock, [this] { return m_closing || m_seekTo || ((m_running || m_cue) && !m_atEnd); });
    if (m_closing) {
        return false;
    }
    m_cue = false;
    seekTo = std::exchange(m_seekTo, std::nullopt);
    m_seekPending = false;
    return true;
}

const DecodedFrame* StreamingDecodeThread::decodeNext(const std::optional<double>& seekTo)
{
    try {
        if (seekTo) {
            m_atEnd = false;
            m_hasSeeked = true;
            // The decoder goes on from the first frame at or after the time it is given; the
            // frame that shows at `seekTo` is the first one later than one frame before it.
            if (!m_decoder->seek(m_origin + std::max(0.0, *seekTo - m_frameDuration))) {
                return nullptr;
            }
        }
        return m_decoder->nextFrame();
    } catch (const std::exception&) {
        // A decoder error ends the stream like its end does; a seek may start it again.
        return nullptr;
    }
}

} // namespace oskel
