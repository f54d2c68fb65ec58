#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "sources/decoded_media.h"
#include "sources/streaming_source.h"

namespace oskel::test {

// A clip the fake decoders play: deterministic frames whose every byte is the frame number
// modulo 251, so that a test can tell which frame it got and whether it arrived whole.
struct FakeClip {
    VideoStreamInfo info; // what the decoder reports
    int framesInFile = 0; // what nextFrame yields: may be fewer than info.frameCount promises
    double firstStamp = 0.0; // the time stamp frame 0 carries (info.firstFrameTime may differ)
    std::atomic<int> decodeDelayMs { 0 };
    std::atomic<int> decoded { 0 };
    std::atomic<int> liveDecoders { 0 };
    std::atomic<bool> failOpen { false };

    std::mutex seeksMutex;
    std::vector<double> seeks; // the times the decoders were asked to seek to

    std::vector<double> seekTimes()
    {
        std::lock_guard lock(seeksMutex);
        return seeks;
    }
};

inline std::shared_ptr<FakeClip> makeFakeClip(
    int frames, double frameRate, int width = 8, int height = 6)
{
    auto clip = std::make_shared<FakeClip>();
    clip->info.clipWidth = width;
    clip->info.clipHeight = height;
    clip->info.width = width;
    clip->info.height = height;
    clip->info.frameRate = frameRate;
    clip->info.frameCount = frames;
    clip->info.duration = frameRate > 0.0 ? frames / frameRate : 0.0;
    clip->info.isStill = frameRate <= 0.0;
    clip->info.codecTag = "FAKE";
    clip->framesInFile = frames;
    return clip;
}

// The frame number a fake frame shows, or -1 when its bytes are not all alike (a torn frame).
inline int fakeFrameNumber(const std::uint8_t* pixels, std::size_t size)
{
    if (pixels == nullptr || size == 0) {
        return -1;
    }
    for (std::size_t i = 1; i < size; ++i) {
        if (pixels[i] != pixels[0]) {
            return -1;
        }
    }
    return pixels[0];
}

class FakeVideoDecoder : public VideoDecoder {
public:
    explicit FakeVideoDecoder(std::shared_ptr<FakeClip> clip)
        : m_clip(std::move(clip))
        , m_info(m_clip->info)
    {
        ++m_clip->liveDecoders;
    }
    ~FakeVideoDecoder() override { --m_clip->liveDecoders; }

    const VideoStreamInfo& info() const override { return m_info; }

    const DecodedFrame* frameAt(std::int64_t index) override
    {
        m_next = static_cast<int>(index);
        return nextFrame();
    }

    const DecodedFrame* nextFrame() override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(m_clip->decodeDelayMs.load()));
        if (m_next >= m_clip->framesInFile) {
            return nullptr;
        }
        m_frame.width = m_info.width;
        m_frame.height = m_info.height;
        m_frame.index = m_next;
        m_frame.time = timeOf(m_next);
        m_frame.pixels.assign(static_cast<std::size_t>(m_info.width * m_info.height * 3),
            static_cast<std::uint8_t>(m_next % 251));
        ++m_next;
        ++m_clip->decoded;
        return &m_frame;
    }

    bool seek(double seconds) override
    {
        {
            std::lock_guard lock(m_clip->seeksMutex);
            m_clip->seeks.push_back(seconds);
        }
        m_next = 0;
        while (m_next < m_clip->framesInFile && timeOf(m_next) < seconds - 1e-9) {
            ++m_next;
        }
        return true;
    }

private:
    double timeOf(int index) const
    {
        return m_clip->firstStamp + (m_info.frameRate > 0.0 ? index / m_info.frameRate : 0.0);
    }

    std::shared_ptr<FakeClip> m_clip;
    VideoStreamInfo m_info;
    DecodedFrame m_frame;
    int m_next = 0;
};

// A clip's sound for the fake whole-sound decoder: it appends `producedBytes` to the PCM in
// chunks, asking keepGoing before each; like the real one it discards everything when stopped.
struct FakeSound {
    bool present = true;
    int sampleRate = 1000;
    int channels = 2;
    std::int64_t promisedBytes = 8000;
    std::int64_t producedBytes = 8000;
    int chunkDelayMs = 0;
    bool fails = false;
    // The most bytes the PCM buffer held at once.
    std::shared_ptr<std::atomic<std::int64_t>> mostHeld
        = std::make_shared<std::atomic<std::int64_t>>(0);
};

inline StreamingMedia fakeStreamingMedia(std::shared_ptr<FakeClip> clip, FakeSound sound)
{
    StreamingMedia media;
    media.openVideo = [clip](const std::filesystem::path&, FrameLimits,
                          std::string& error) -> std::unique_ptr<VideoDecoder> {
        if (clip->failOpen) {
            error = "cannot open";
            return nullptr;
        }
        return std::make_unique<FakeVideoDecoder>(clip);
    };
    media.probeAudio = [sound](const std::filesystem::path&, AudioStreamInfo& info, std::string&) {
        info.sampleRate = sound.sampleRate;
        info.channels = sound.channels;
        info.expectedBytes = sound.promisedBytes;
        return sound.present;
    };
    media.decodeAudio
        = [sound](const std::filesystem::path&, AudioStreamInfo&, std::vector<std::uint8_t>& pcm,
              const std::function<bool()>& keepGoing, std::string&) {
              constexpr std::int64_t kChunk = 1000;
              pcm.clear();
              for (std::int64_t done = 0; done < sound.producedBytes; done += kChunk) {
                  if (!keepGoing()) {
                      pcm.clear();
                      return false;
                  }
                  const std::int64_t size = std::min(kChunk, sound.producedBytes - done);
                  pcm.insert(pcm.end(), static_cast<std::size_t>(size), std::uint8_t { 7 });
                  *sound.mostHeld = std::max<std::int64_t>(*sound.mostHeld, std::ssize(pcm));
                  std::this_thread::sleep_for(std::chrono::milliseconds(sound.chunkDelayMs));
              }
              return !sound.fails;
          };
    return media;
}

} // namespace oskel::test
