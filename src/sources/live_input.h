#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "sources/ffmpeg_handles.h"
#include "sources/live_source_name.h"

namespace oskel {

// One connection to a live source through FFmpeg: a camera through the v4l2 input device or
// a network stream, with its picture decoder and, where it has sound, its sound decoder.
// Every FFmpeg call it makes gives up once the source has sent nothing for `stall`, or at
// once when `cancel` is set, so a dead network never holds the thread that reads it.
// Used by one thread at a time.
class LiveInput {
public:
    // Each decoded frame, valid during the call.
    using FrameSink = std::function<void(const AVFrame& frame)>;

    // Null, with `problem` in the performer's words, when the source does not open or has no
    // picture.
    static std::unique_ptr<LiveInput> open(const LiveSourceChoice& choice,
        std::chrono::milliseconds stall, const std::atomic<bool>& cancel, std::string& problem);
    ~LiveInput();
    LiveInput(const LiveInput&) = delete;
    LiveInput& operator=(const LiveInput&) = delete;

    // Reads one packet and hands what it decodes to the sinks. False, with `problem`, when the
    // source ended, failed, stalled or was cancelled; damaged packets are skipped.
    bool readOnce(const FrameSink& picture, const FrameSink& sound, std::string& problem);

    // The picture's own rate, 25 where the source does not say; 1..120.
    double frameRate() const;
    bool hasSound() const { return m_sound != nullptr; }
    // How long a read may wait for the source from now on.
    void setStall(std::chrono::milliseconds stall) { m_stall = stall; }

private:
    struct Deadline {
        std::chrono::steady_clock::time_point at;
        const std::atomic<bool>* cancel = nullptr;
    };
    static int interrupted(void* deadline);

    LiveInput(std::chrono::milliseconds stall, const std::atomic<bool>& cancel);
    bool openStreams(const LiveSourceChoice& choice, std::string& problem);
    void restartDeadline() { m_deadline.at = std::chrono::steady_clock::now() + m_stall; }
    void decode(AVCodecContext& decoder, const AVPacket* packet, const FrameSink& sink);
    std::string why(int error) const;

    std::chrono::milliseconds m_stall;
    Deadline m_deadline;
    ffmpeg::FormatContextPtr m_format;
    ffmpeg::CodecContextPtr m_picture;
    ffmpeg::CodecContextPtr m_sound;
    int m_pictureStream = -1;
    int m_soundStream = -1;
    ffmpeg::PacketPtr m_packet;
    ffmpeg::FramePtr m_frame;
};

} // namespace oskel
