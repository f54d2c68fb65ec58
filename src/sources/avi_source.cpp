#include "sources/avi_source.h"

#include <cmath>
#include <exception>
#include <string>

namespace oskel {

namespace {

const std::string kContainer = "avi";

void setFrameHeader(TSourceInfo& info, int width, int height)
{
    info.frameHeader.width = width;
    info.frameHeader.height = height;
    info.frameHeader.bitCount = 24;
    info.frameHeader.sizeImage = static_cast<std::uint32_t>(3 * width * height);
}

} // namespace

AviSource::~AviSource() = default;

int AviSource::open(const std::filesystem::path& path, TSourceInfo& info)
{
    try {
        m_video.reset();
        m_hasSound = false;
        info.hasVideo = false;
        info.hasAudio = false;
        const int opened = openPicture(path, info);
        if (opened != kSourceOk) {
            m_video.reset();
            return opened;
        }
        openSound(info);
        info.hasVideo = true;
        info.hasAudio = m_hasSound;
        return kSourceOk;
    } catch (const std::exception& error) {
        m_video.reset();
        info.hasVideo = false;
        info.hasAudio = false;
        info.openProblem = error.what();
        return kException;
    }
}

int AviSource::openPicture(const std::filesystem::path& path, TSourceInfo& info)
{
    MediaOpenError reason = MediaOpenError::None;
    std::string error;
    m_video
        = openVideoDecoder(MediaInput { path, {}, info.frameLimits }, kContainer, reason, error);
    info.openProblem = error;
    if (!m_video) {
        switch (reason) {
        case MediaOpenError::CannotRead:
            return kCannotOpen;
        case MediaOpenError::NotRecognised:
            return kNotAvi;
        case MediaOpenError::NoStream:
            return kNoPicture;
        default:
            return kSourceFailed;
        }
    }
    m_path = path;
    const VideoStreamInfo& video = m_video->info();
    info.frameRate = std::round(video.frameRate);
    if (info.frameRate <= 0.0) {
        info.openProblem = "its picture has no frame rate"; // as every AVI picture has
        return kSourceFailed;
    }
    info.frameDuration = 1.0 / info.frameRate;
    info.outputDepth = 24;
    info.clipWidth = video.clipWidth;
    info.clipHeight = video.clipHeight;
    info.width = video.width;
    info.height = video.height;
    info.exactFrameRate = video.frameRate;
    info.frameCount = video.frameCount;
    info.claimedFrameCount = video.claimedFrameCount;
    info.duration = double(info.frameCount) * info.frameDuration;
    info.videoInfo.compression = video.codecTag;
    const std::uint8_t* pixels = nullptr;
    if (getFrame(0, info, pixels) != kSourceOk) {
        info.openProblem = "its first picture does not decode";
        return kSourceFailed;
    }
    return kSourceOk;
}

void AviSource::openSound(TSourceInfo& info)
{
    AudioStreamInfo sound;
    std::string error;
    m_hasSound = probeAudio(MediaInput { m_path, {} }, kContainer, sound, error);
    if (!m_hasSound) {
        return;
    }
    TWaveFormatEx& format = info.waveFormat;
    format.formatTag = 1;
    format.channels = static_cast<std::uint16_t>(sound.channels);
    format.samplesPerSec = static_cast<std::uint32_t>(sound.sampleRate);
    format.bitsPerSample = 16;
    format.blockAlign = static_cast<std::uint16_t>(sound.channels * 2);
    format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
    format.extraSize = 0;
    info.audioBlock = format.blockAlign;
    info.audioRate = static_cast<std::int32_t>(format.avgBytesPerSec);
    info.sampleRate = sound.sampleRate;
    info.audioLength = sound.expectedBytes;
}

int AviSource::prepare(TSourceInfo& /*info*/)
{
    return kSourceOk;
}

int AviSource::getFrame(std::int64_t index, TSourceInfo& info, const std::uint8_t*& pixels)
{
    try {
        if (!m_video || index < 0 || index >= m_video->info().frameCount) {
            return kSourceFailed;
        }
        const DecodedFrame* frame = m_video->frameAt(index);
        if (frame == nullptr) {
            return kSourceFailed;
        }
        setFrameHeader(info, frame->width, frame->height);
        pixels = frame->pixels.data();
        return kSourceOk;
    } catch (const std::exception&) {
        return kSourceFailed;
    }
}

void AviSource::decodeAhead(std::int64_t index)
{
    try {
        if (m_video) {
            m_video->decodeAhead(index);
        }
    } catch (const std::exception&) {
        // Decoding ahead only saves time; the frame is decoded again when it is asked for.
    }
}

int AviSource::getAudio(TSourceInfo& info, std::vector<std::uint8_t>& sound)
{
    try {
        if (!m_hasSound) {
            return kSourceFailed;
        }
        AudioStreamInfo format;
        std::string error;
        if (!decodeAllAudio(MediaInput { m_path, {} }, kContainer, format, sound, {}, error)) {
            return kSourceFailed;
        }
        // What was really decoded, whatever the header said.
        info.audioLength = static_cast<std::int64_t>(sound.size());
        return kSourceOk;
    } catch (const std::exception&) {
        sound.clear();
        return kSourceFailed;
    }
}

void AviSource::stop(TSourceInfo& /*info*/)
{
}

int AviSource::close(TSourceInfo& /*info*/)
{
    try {
        m_video.reset();
        m_hasSound = false;
        m_path.clear();
        return kSourceOk;
    } catch (const std::exception&) {
        return kNotAvi;
    }
}

} // namespace oskel
