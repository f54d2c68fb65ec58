#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sources/decoded_media.h"
#include "sources/frame_slots.h"
#include "sources/media_source.h"
#include "sources/source_info.h"
#include "sources/streaming_audio.h"
#include "sources/streaming_decode_thread.h"

namespace oskel {

// How getFrame reached the frame (results below 901 are success).
inline constexpr int kFetchedReady = 0; // the frame already handed out
inline constexpr int kFetchedLatest = 1; // the frame the decode thread had delivered
inline constexpr int kFetchedNext = 2; // the next frame, after one wait
inline constexpr int kFetchedAhead = 3; // + the number of earlier waits
inline constexpr int kFetchedBySeek = 100; // + the seek attempt, 1 to 4
inline constexpr int kFetchClosing = 998; // the source closed while the fetch waited

// How long the streaming source waits, and how far it lets the decoder run on.
struct StreamingTimings {
    // A fetch's wait for one delivered frame.
    std::chrono::milliseconds frameWait { 200 };
    // Added to a seek's start time, in 100-ns units, so that it lands inside the frame.
    std::int64_t seekOffset = 100;
    // Frames the decoder may run on for a short jump ahead before the fetch seeks.
    int lookAhead = 40;
    // prepare's wait for the first frame.
    std::chrono::milliseconds startWait { 10000 };
    // Reading the whole sound: 50 waits of 250 ms.
    std::chrono::milliseconds audioLimit { 50 * 250 };

    // The decode thread's wait for a request before it drops a frame: the frame wait taken
    // as a number of 10 ms steps.
    std::chrono::milliseconds requestWait() const
    {
        return frameWait.count() * std::chrono::milliseconds(10);
    }
};

// The decoding layer the streaming source reads through.
struct StreamingMedia {
    std::function<std::unique_ptr<VideoDecoder>(
        const std::filesystem::path& path, FrameLimits limits, std::string& error)>
        openVideo;
    std::function<bool(
        const std::filesystem::path& path, AudioStreamInfo& info, std::string& error)>
        probeAudio;
    WholeSoundDecoder decodeAudio;
};

// The FFmpeg decoding layer, accepting any container.
StreamingMedia ffmpegStreamingMedia();

// Reads any clip the decoding layer can open. The picture side runs on a decode thread that
// delivers frames one at a time, as the slot's worker asks for them, through the three frame
// slots; a request for a distant or an earlier frame becomes a seek. The sound side decodes
// the whole sound at once.
//
// open, prepare, getAudio, stop and close run on the main thread, getFrame on the slot's
// worker; close may come while getFrame waits, which then returns kFetchClosing at once.
// The pixels of the last fetch stay readable after close, until the next open or the
// destruction, so a worker still copying a frame when its slot closes reads valid memory.
class StreamingSource : public MediaSource {
public:
    explicit StreamingSource(
        StreamingMedia media = ffmpegStreamingMedia(), StreamingTimings timings = {});
    ~StreamingSource() override;
    StreamingSource(const StreamingSource&) = delete;
    StreamingSource& operator=(const StreamingSource&) = delete;

    int open(const std::filesystem::path& path, TSourceInfo& info) override;
    int prepare(TSourceInfo& info) override;
    // Starts the picture side and waits for the first frame. With `sequential` the decode
    // thread stays paused and never runs on: each fetch that is not the ready or the latest
    // frame seeks. prepare is startPicture(info, false).
    int startPicture(TSourceInfo& info, bool sequential);
    int getFrame(std::int64_t index, TSourceInfo& info, const std::uint8_t*& pixels) override;
    int getAudio(TSourceInfo& info, std::vector<std::uint8_t>& sound) override;
    void stop(TSourceInfo& info) override;
    int close(TSourceInfo& info) override;

private:
    bool openVideo(TSourceInfo& info);
    void openAudio(TSourceInfo& info);
    void shutDown();

    double timeOfFrame(std::int64_t index) const;
    int fetch(double x);
    int runOn(double x);
    int seekTo(double x);
    bool takeIfCovers(double x);
    void postSeek(double startUnits);

    // Decode thread: the frame callback. `frame` is valid during the call.
    void onDecodedFrame(
        const DecodedFrame& frame, double time, const StreamingDecodeThread& thread);

    StreamingMedia m_media;
    StreamingTimings m_timings;

    std::filesystem::path m_path;
    bool m_still = false;
    double m_frameDuration = 1.0;
    double m_duration = 0.0;
    std::int64_t m_audioLength = 0;
    int m_audioBlock = 0;
    AudioStreamInfo m_audioInfo;
    bool m_hasAudio = false;

    // Held by getFrame for its whole run; open and close take it to change what it reads.
    std::mutex m_callMutex;
    std::atomic<bool> m_seekNeeded { false };
    bool m_firstSample = true; // decode thread's, once it runs
    FrameSlots m_slots;
    std::unique_ptr<StreamingDecodeThread> m_thread;
};

} // namespace oskel
