#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "sources/decoded_media.h"

namespace oskel {

// The streaming source's decode thread: it owns the clip's picture decoder and hands every
// decoded frame, in order, to a callback. Paused, it decodes nothing except the one frame
// after each seek or cue; running, it decodes on until the end of the stream. The callback
// throttles it: it may hold the frame until the consumer wants one.
//
// Every other call is made from the thread that owns the object (open, prepare, stop, close
// on the main thread) or from the slot's worker (seek, seekPending, atEnd).
class StreamingDecodeThread {
public:
    // Called on the decode thread with each decoded frame; `frame` stays valid until the
    // callback returns. `time` is the frame's time from the start of the stream (its time
    // stamp less the first frame's); `thread` is this object, for seekPending(). The callback
    // must come back promptly once close() has been asked for.
    using FrameCallback = std::function<void(
        const DecodedFrame& frame, double time, const StreamingDecodeThread& thread)>;

    // Starts the thread, paused. `frameDuration` is the clip's seconds per frame (0 for a
    // still picture).
    StreamingDecodeThread(
        std::unique_ptr<VideoDecoder> decoder, double frameDuration, FrameCallback onFrame);
    ~StreamingDecodeThread();
    StreamingDecodeThread(const StreamingDecodeThread&) = delete;
    StreamingDecodeThread& operator=(const StreamingDecodeThread&) = delete;

    void run();
    void pause();
    // Paused, decodes and delivers one frame, as a paused player shows where it stands.
    void cue();
    // Delivery goes on from the frame that shows at `seconds` from the start of the stream.
    // A newer request replaces one not yet carried out.
    void seek(double seconds);
    // A seek has been asked for and not yet carried out: frames decoded before it are stale.
    bool seekPending() const { return m_seekPending.load(); }
    // The decoder has nothing more to give until the next seek.
    bool atEnd() const { return m_atEnd.load(); }
    // A seek has been carried out since the start: the frames no longer come from the
    // beginning of the stream.
    bool hasSeeked() const { return m_hasSeeked.load(); }
    // Asks the thread to end after the call it is in, without waiting for it.
    void requestClose();
    // Stops the thread and joins it; it finishes the decoder call it is in first. The decoder
    // is destroyed with the object.
    void close();

private:
    void loop();
    bool waitForWork(std::optional<double>& seekTo);
    const DecodedFrame* decodeNext(const std::optional<double>& seekTo);

    std::unique_ptr<VideoDecoder> m_decoder;
    const double m_frameDuration;
    const double m_origin; // the first frame's time stamp
    FrameCallback m_onFrame;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_running = false;
    bool m_closing = false;
    bool m_cue = false;
    std::optional<double> m_seekTo;
    std::atomic<bool> m_seekPending { false };
    std::atomic<bool> m_atEnd { false };
    std::atomic<bool> m_hasSeeked { false };
    std::thread m_thread;
};

} // namespace oskel
