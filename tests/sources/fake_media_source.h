#pragma once

#include <memory>
#include <vector>

#include "sources/media_source.h"

namespace oskel::test {

// What a fake clip file holds.
struct FakeClip {
    int openResult = 0;
    bool hasVideo = true;
    bool hasAudio = true;
    int width = 320;
    int height = 240;
    double frameRate = 25.0;
    std::int64_t frameCount = 50;
    int sampleRate = 22050;
    int channels = 2;
    std::int64_t audioBytes = 22050 * 4 * 2; // two seconds
    bool audioFails = false;
    bool frameFails = false;
};

// A media reader that serves a FakeClip: frame n has every byte equal to n % 256.
class FakeMediaSource : public MediaSource {
public:
    explicit FakeMediaSource(FakeClip clip)
        : m_clip(clip)
    {
    }

    int open(const std::filesystem::path&, TSourceInfo& info) override
    {
        if (m_clip.openResult != 0) {
            return m_clip.openResult;
        }
        info.hasVideo = m_clip.hasVideo;
        info.hasAudio = m_clip.hasAudio;
        info.width = m_clip.width;
        info.height = m_clip.height;
        info.clipWidth = m_clip.width;
        info.clipHeight = m_clip.height;
        info.frameRate = m_clip.frameRate;
        info.frameCount = m_clip.frameCount;
        info.frameDuration = m_clip.frameRate > 0 ? 1.0 / m_clip.frameRate : 1.0;
        info.audioLength = m_clip.audioBytes;
        info.waveFormat.channels = static_cast<std::uint16_t>(m_clip.channels);
        info.waveFormat.samplesPerSec = static_cast<std::uint32_t>(m_clip.sampleRate);
        info.waveFormat.bitsPerSample = 16;
        info.waveFormat.blockAlign = static_cast<std::uint16_t>(m_clip.channels * 2);
        info.waveFormat.avgBytesPerSec
            = static_cast<std::uint32_t>(m_clip.sampleRate * m_clip.channels * 2);
        return 0;
    }
    int prepare(TSourceInfo&) override { return 0; }
    int getFrame(std::int64_t index, TSourceInfo& info, const std::uint8_t*& pixels) override
    {
        if (m_clip.frameFails || index < 0 || index >= m_clip.frameCount) {
            return 999;
        }
        m_pixels.assign(static_cast<std::size_t>(m_clip.width * m_clip.height * 3),
            static_cast<std::uint8_t>(index % 256));
        info.frameHeader.width = m_clip.width;
        info.frameHeader.height = m_clip.height;
        info.frameHeader.bitCount = 24;
        info.frameHeader.sizeImage = static_cast<std::uint32_t>(m_pixels.size());
        pixels = m_pixels.data();
        ++framesServed;
        return 0;
    }
    int getAudio(TSourceInfo& info, std::vector<std::uint8_t>& sound) override
    {
        if (m_clip.audioFails) {
            return 999;
        }
        sound.assign(static_cast<std::size_t>(m_clip.audioBytes), 0);
        info.audioLength = m_clip.audioBytes;
        return 0;
    }
    void stop(TSourceInfo&) override { }
    int close(TSourceInfo&) override
    {
        closed = true;
        return 0;
    }

    int framesServed = 0;
    bool closed = false;

private:
    FakeClip m_clip;
    std::vector<std::uint8_t> m_pixels;
};

} // namespace oskel::test
