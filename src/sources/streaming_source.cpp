#include "sources/streaming_source.h"

#include <cmath>
#include <exception>
#include <utility>

namespace oskel {

namespace {

constexpr double kTolerance = 1e-8;
constexpr double kSeekTolerance = 0.5; // seconds a sought frame may be off
constexpr double kUnitsPerSecond = 10000000.0; // seek positions count 100-ns units
constexpr int kMaxSeekAttempts = 4;
constexpr int kLargestSize = 10000;

void setFrameHeader(TSourceInfo& info, int width, int height)
{
    info.frameHeader.width = width;
    info.frameHeader.height = height;
    info.frameHeader.bitCount = 24;
    info.frameHeader.sizeImage
        = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height) * 3U;
}

} // namespace

StreamingSource::StreamingSource(StreamingMedia media, StreamingTimings timings)
    : m_media(std::move(media))
    , m_timings(timings)
{
}

StreamingSource::~StreamingSource()
{
    shutDown();
}

int StreamingSource::open(const std::filesystem::path& path, TSourceInfo& info)
{
    shutDown();
    std::lock_guard call(m_callMutex);
    m_path = path;
    info.hasVideo = false;
    info.hasAudio = false;
    // The sound side is looked at only when the picture side opened.
    if (!openVideo(info)) {
        return kSourceFailed;
    }
    openAudio(info);
    return kSourceOk;
}

bool StreamingSource::openVideo(TSourceInfo& info)
{
    std::string error;
    std::unique_ptr<VideoDecoder> decoder;
    try {
        decoder = m_media.openVideo(m_path, info.frameLimits, error);
    } catch (const std::exception& failure) {
        decoder.reset();
        error = failure.what();
    }
    info.openProblem = error;
    if (!decoder) {
        return false;
    }
    const VideoStreamInfo& video = decoder->info();
    if (video.width <= 0 || video.height <= 0) {
        info.openProblem = "its picture has no size";
        return false;
    }
    if (video.clipWidth > kLargestSize || video.clipHeight > kLargestSize) {
        info.openProblem
            = "its picture is larger than " + std::to_string(kLargestSize) + " pixels a side";
        return false;
    }
    m_still = video.isStill;
    info.clipWidth = video.clipWidth;
    info.clipHeight = video.clipHeight;
    info.width = video.width;
    info.height = video.height;
    setFrameHeader(info, video.width, video.height);
    // A still picture is a one-frame clip at one frame a second.
    info.frameRate = video.frameRate > 0.0 && !m_still ? video.frameRate : 1.0;
    info.frameDuration = 1.0 / info.frameRate;
    info.exactFrameRate = info.frameRate;
    info.frameCount = m_still ? 1 : video.frameCount;
    info.claimedFrameCount = m_still ? 1 : video.claimedFrameCount;
    info.duration = video.duration > 0.0 && !m_still
        ? video.duration
        : static_cast<double>(info.frameCount) * info.frameDuration;
    info.seekLimit = 0.0;
    info.videoInfo.compression = video.codecTag;
    info.outputDepth = 24;
    info.hasVideo = true;
    m_frameDuration = info.frameDuration;
    m_duration = info.duration;

    m_slots.reset(video.width, video.height);
    m_seekNeeded = false;
    m_firstSample = true;
    m_thread = std::make_unique<StreamingDecodeThread>(std::move(decoder),
        m_still ? 0.0 : m_frameDuration,
        [this](const DecodedFrame& frame, double time, const StreamingDecodeThread& thread) {
            onDecodedFrame(frame, time, thread);
        });
    return true;
}

void StreamingSource::openAudio(TSourceInfo& info)
{
    std::string error;
    AudioStreamInfo audio;
    bool found = false;
    try {
        found = m_media.probeAudio(m_path, audio, error);
    } catch (const std::exception&) {
        found = false;
    }
    const std::int64_t bytesPerSecond = std::int64_t { audio.sampleRate } * audio.channels * 2;
    if (!found || audio.expectedBytes <= 0 || bytesPerSecond <= 0) {
        return;
    }
    m_audioInfo = audio;
    m_audioBlock = audio.channels * 2;
    // The promised length is the stream's duration times its bytes per second.
    m_audioLength = audio.expectedBytes;
    m_hasAudio = true;

    info.waveFormat.formatTag = 1;
    info.waveFormat.channels = static_cast<std::uint16_t>(audio.channels);
    info.waveFormat.samplesPerSec = static_cast<std::uint32_t>(audio.sampleRate);
    info.waveFormat.avgBytesPerSec = static_cast<std::uint32_t>(bytesPerSecond);
    info.waveFormat.blockAlign = static_cast<std::uint16_t>(m_audioBlock);
    info.waveFormat.bitsPerSample = 16;
    info.waveFormat.extraSize = 0;
    info.audioBlock = m_audioBlock;
    info.audioRate = static_cast<std::int32_t>(bytesPerSecond);
    info.audioLength = m_audioLength;
    info.sampleRate = audio.sampleRate;
    info.hasAudio = true;
}

int StreamingSource::prepare(TSourceInfo& info)
{
    return startPicture(info, false);
}

int StreamingSource::startPicture(TSourceInfo& info, bool sequential)
{
    if (!m_thread) {
        return kSourceFailed;
    }
    m_slots.setSequential(sequential);
    m_slots.requestFrame();
    m_seekNeeded = true;
    if (sequential) {
        // Paused, the decode thread delivers only the first frame and each frame sought.
        m_thread->pause();
        m_thread->cue();
    } else {
        m_thread->run();
    }
    const bool arrived = m_slots.waitArrived(m_timings.startWait);
    info.seekLimit = m_slots.seekLimit();
    return arrived ? kSourceOk : kSourceFailed;
}

int StreamingSource::getFrame(std::int64_t index, TSourceInfo& info, const std::uint8_t*& pixels)
{
    std::lock_guard call(m_callMutex);
    const int result = m_thread ? fetch(timeOfFrame(index)) : kSourceFailed;
    const FrameSlots::Slot& ready = m_slots.ready();
    pixels = ready.pixels.data();
    setFrameHeader(info, ready.width, ready.height);
    info.seekLimit = m_slots.seekLimit();
    return result;
}

double StreamingSource::timeOfFrame(std::int64_t index) const
{
    if (m_still) {
        return 0.0;
    }
    // Frame numbers below the seek limit (the first frame's time stamp) ask for the first
    // frame. The comparison of a frame number with seconds is deliberate: it is what makes
    // frame 0 of a clip whose time stamps start late reachable.
    const double limit = m_slots.seekLimit();
    if (static_cast<double>(index) < limit) {
        return limit;
    }
    return static_cast<double>(index) * m_frameDuration;
}

// A frame shows from its time stamp until the next frame's: a request at exactly the next
// frame's time belongs to the next frame. The tolerance absorbs rounding between frame
// numbers times the frame duration and the decoder's time stamps.
int StreamingSource::fetch(double x)
{
    const double t = m_frameDuration;
    const double readyTime = m_slots.ready().time;
    if (!m_seekNeeded && readyTime - kTolerance < x && x < readyTime + t - kTolerance) {
        return kFetchedReady;
    }
    m_seekNeeded = false;
    if (takeIfCovers(x)) {
        return kFetchedLatest;
    }
    if (!m_slots.sequential()) {
        if (readyTime + t - kTolerance < x && x < readyTime + 2 * t - kTolerance) {
            m_slots.resetArrived();
            m_slots.requestFrame();
            m_slots.waitArrived(m_timings.frameWait);
            if (takeIfCovers(x)) {
                return kFetchedNext;
            }
        } else if (readyTime + 2 * t - kTolerance <= x
            && x < readyTime + (m_timings.lookAhead + 2) * t) {
            const int result = runOn(x);
            if (result >= 0) {
                return result;
            }
        }
    }
    return seekTo(x);
}

// Lets the decoder run on, one delivery per wait, until the latest frame covers x. -1 when it
// does not come within the look-ahead.
int StreamingSource::runOn(double x)
{
    for (int wait = 0; wait < m_timings.lookAhead; ++wait) {
        m_slots.requestFrame();
        const bool arrived = m_slots.waitArrived(m_timings.frameWait);
        if (takeIfCovers(x)) {
            return kFetchedAhead + wait;
        }
        m_slots.resetArrived();
        // Nothing more comes without a seek at the end of the stream, and the frames after
        // one already past x never cover it: waiting on would only delay the seek.
        if (m_slots.closing() || (!arrived && m_thread->atEnd())
            || m_slots.latestTime() >= x + kTolerance) {
            break;
        }
    }
    return -1;
}

int StreamingSource::seekTo(double x)
{
    const double t = m_frameDuration;
    auto start = static_cast<double>(std::llround(x * kUnitsPerSecond) + m_timings.seekOffset);
    postSeek(start);
    for (int attempt = 1; attempt <= kMaxSeekAttempts; ++attempt) {
        if (m_slots.closing()) {
            return kFetchClosing;
        }
        const bool arrived = m_slots.waitArrived(m_timings.frameWait);
        if (m_slots.takeLatestBetween(x - t - kSeekTolerance, x + kSeekTolerance)) {
            return kFetchedBySeek + attempt;
        }
        // A seek that landed elsewhere is tried again a little later. One still on its way
        // (a decoder slower than the frame wait) is left to finish: starting it over would
        // throw its work away, and a slow decoder would then never arrive.
        if (arrived || m_thread->atEnd()) {
            start += static_cast<double>(m_timings.seekOffset) / 2.0;
            postSeek(start);
        }
    }
    return kSourceFailed;
}

bool StreamingSource::takeIfCovers(double x)
{
    return m_slots.takeLatestBetween(x - m_frameDuration + kTolerance, x + kTolerance);
}

void StreamingSource::postSeek(double startUnits)
{
    // The end of the stream stops the decode thread by itself; no stop position is needed.
    m_slots.requestSeek([&] { m_thread->seek(startUnits / kUnitsPerSecond); });
}

void StreamingSource::onDecodedFrame(
    const DecodedFrame& frame, double time, const StreamingDecodeThread& thread)
{
    // The decoding layer already delivers frames at their final size, halved when large, so
    // the frame is copied as it is.
    const auto staleAfterSeek = [&thread] { return thread.seekPending(); };
    if (m_slots.closing()) {
        return;
    }
    if (m_firstSample) {
        m_firstSample = false;
        // Only the stream's own first frame tells where its time stamps start; a fetch made
        // before prepare may have sought elsewhere first.
        if (time != 0.0 && !thread.hasSeeked()) {
            m_slots.setSeekLimit(time);
        }
    } else if (!m_slots.sequential()
        && !m_slots.waitUntilWanted(m_timings.requestWait(), staleAfterSeek)) {
        // No request in time, closing, or overtaken by a seek: the frame is dropped.
        return;
    }
    m_slots.deliver(frame, time, staleAfterSeek);
}

int StreamingSource::getAudio(TSourceInfo& info, std::vector<std::uint8_t>& sound)
{
    if (!m_hasAudio) {
        return kSourceFailed;
    }
    const WholeSoundLimits limits { m_audioLength + 4000, m_audioBlock, m_timings.audioLimit };
    AudioStreamInfo audio = m_audioInfo;
    const int result = readWholeSound(m_media.decodeAudio, m_path, audio, limits, sound);
    if (result == kSourceOk) {
        info.audioLength = static_cast<std::int64_t>(sound.size());
    }
    return result;
}

void StreamingSource::stop(TSourceInfo& /*info*/)
{
    if (m_thread) {
        m_thread->pause();
        m_slots.requestFrame();
    }
}

int StreamingSource::close(TSourceInfo& /*info*/)
{
    shutDown();
    return kSourceOk;
}

void StreamingSource::shutDown()
{
    // The decode thread is told first, so that it decodes nothing more once its callback
    // sees the slots closing. Closing wakes a fetch that waits, which then returns and gives
    // up the call lock, and the decode thread's wait for a request.
    if (m_thread) {
        m_thread->requestClose();
    }
    m_slots.setClosing();
    std::lock_guard call(m_callMutex);
    if (m_thread) {
        m_thread->close();
        m_thread.reset();
    }
    m_hasAudio = false;
    m_audioLength = 0;
}

} // namespace oskel
