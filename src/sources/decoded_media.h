#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/frame_size.h"

namespace oskel {

// What a clip file holds, as the decoding layer found it.
struct VideoStreamInfo {
    int clipWidth = 0; // the clip's own frame size
    int clipHeight = 0;
    int width = 0; // the size frames are delivered at (see DecodedFrame)
    int height = 0;
    double frameRate = 0.0; // exact, e.g. 29.97; 0 when the stream has none (a still)
    std::int64_t frameCount = 0; // frames from the start of the stream that the file holds
    // What the stream's header says, more than frameCount when the file is damaged; 0 when it
    // says nothing (frameCount then starts from an estimate).
    std::int64_t claimedFrameCount = 0;
    double duration = 0.0; // seconds
    double firstFrameTime = 0.0; // time stamp of frame 0, seconds
    bool isStill = false; // a picture file: one frame
    std::string codecTag; // four characters naming the compression, for display
};

struct AudioStreamInfo {
    int sampleRate = 0; // of the delivered PCM, the stream's own rate
    int channels = 0; // 1 or 2 (more are mixed down to 2)
    std::int64_t expectedBytes = 0; // 16-bit PCM length the stream's header promises
};

// One decoded picture as the rest of the system takes it: 24-bit pixels in blue, green, red
// order, rows bottom-up and packed (3 x width bytes a row, no padding). Frames larger than
// 384 x 288 are halved (every second pixel of every second row); frames still larger are
// then scaled down by area averaging, keeping the aspect, to fit 384 x 288.
struct DecodedFrame {
    int width = 0;
    int height = 0;
    std::int64_t index = -1; // frame number in the clip, from 0
    double time = 0.0; // seconds from the start of the stream
    std::vector<std::uint8_t> pixels; // width x height x 3 bytes
};

// The picture side of one open clip. One thread at a time (the slot's worker, or the
// streaming source's decode thread).
class VideoDecoder {
public:
    virtual ~VideoDecoder() = default;
    virtual const VideoStreamInfo& info() const = 0;

    // Frame `index` exactly, whatever the order of requests: going on from the decoder's
    // position for a short step forwards, seeking to the keyframe before it otherwise, and
    // served from the cache of recently decoded frames when it is there. Null when the frame
    // cannot be decoded. Valid until the next call.
    virtual const DecodedFrame* frameAt(std::int64_t index) = 0;
    // Decodes frame `index` into the cache when that only means going on from the decoder's
    // position, for a frameAt that follows; the frame frameAt gave last stays valid.
    virtual void decodeAhead(std::int64_t /*index*/) { }

    // For streaming: the frame after the last one delivered, in order; null at the end or
    // on an error. Valid until the next call.
    virtual const DecodedFrame* nextFrame() = 0;
    // For streaming: the next nextFrame() is the first frame at or after `seconds`.
    virtual bool seek(double seconds) = 0;

    // What the requests have cost so far: pictures decoded and seeks in the file.
    struct Statistics {
        std::int64_t picturesDecoded = 0;
        std::int64_t seeks = 0;
    };
    virtual Statistics statistics() const { return {}; }
};

// Where a clip's bytes come from: a file, or (when `path` is empty) a block in memory that
// outlives everything opened from it; and how large its frames are delivered.
struct MediaInput {
    std::filesystem::path path;
    std::span<const std::uint8_t> bytes;
    FrameLimits limits = kStandardFrameLimits;
};

// Why a clip could not be opened, for callers that answer each reason differently.
enum class MediaOpenError : std::uint8_t {
    None,
    CannotRead, // the file is missing or unreadable
    NotRecognised, // not a media file, or not of the container asked for
    NoStream, // no stream of the kind asked for
    Undecodable, // no decoder, absurd sizes or rates, or no frame could be decoded
};

// Opens the picture side of a clip. `containerOnly` limits the file to one container format
// ("avi" for the AVI source); empty accepts any. Returns null with a reason in `error`.
std::unique_ptr<VideoDecoder> openVideoDecoder(const std::filesystem::path& path,
    const std::string& containerOnly, std::string& error,
    FrameLimits limits = kStandardFrameLimits);

std::unique_ptr<VideoDecoder> openVideoDecoder(const MediaInput& input,
    const std::string& containerOnly, MediaOpenError& reason, std::string& error);

// Probes the sound side of a clip without decoding it. False when there is no usable sound.
bool probeAudio(const std::filesystem::path& path, const std::string& containerOnly,
    AudioStreamInfo& info, std::string& error);
bool probeAudio(const MediaInput& input, const std::string& containerOnly, AudioStreamInfo& info,
    std::string& error);

// Decodes the whole sound as 16-bit signed little-endian PCM, interleaved, at the stream's
// own rate and channel count. `keepGoing` is asked between packets; returning false stops
// the decoding (a time limit). Returns false when the sound cannot be decoded.
bool decodeAllAudio(const std::filesystem::path& path, const std::string& containerOnly,
    AudioStreamInfo& info, std::vector<std::uint8_t>& pcm, const std::function<bool()>& keepGoing,
    std::string& error);
bool decodeAllAudio(const MediaInput& input, const std::string& containerOnly,
    AudioStreamInfo& info, std::vector<std::uint8_t>& pcm, const std::function<bool()>& keepGoing,
    std::string& error);

} // namespace oskel
