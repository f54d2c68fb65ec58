#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <vector>

#include "platform/manual_clock_sound_device.h"
#include "platform/sound_buffer.h"

namespace oskel::test {

// The final gain of the default master level, 255.
inline constexpr double kFullMasterGain = 255.0 * 256.0 / 65535.0;

// Writes value(frame, channel), in -1..1, into a stopped buffer in the buffer's own format.
template <class Signal> void fillBuffer(SoundBuffer& buffer, Signal value)
{
    const std::span<std::uint8_t> bytes = buffer.lock();
    const WaveFormat& format = buffer.format();
    const std::int64_t frames = buffer.length() / format.blockAlign();
    std::uint8_t* out = bytes.data();
    for (std::int64_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < format.channels; ++channel) {
            const double v = value(frame, channel);
            if (format.bitsPerSample == 16) {
                const auto sample = static_cast<std::uint16_t>(
                    std::clamp<long>(std::lround(v * 32767.0), -32768, 32767));
                *out++ = static_cast<std::uint8_t>(sample & 0xFF);
                *out++ = static_cast<std::uint8_t>(sample >> 8);
            } else {
                *out++ = static_cast<std::uint8_t>(
                    std::clamp<long>(std::lround(v * 127.0) + 128, 0, 255));
            }
        }
    }
    buffer.unlock();
}

inline auto sine(double hertz, double amplitude, int sampleRate)
{
    return [=](std::int64_t frame, int) {
        return amplitude
            * std::sin(2.0 * std::numbers::pi * hertz * double(frame) / double(sampleRate));
    };
}

// A started manual clock device that keeps everything it mixes.
class MixCapture {
public:
    explicit MixCapture(int outputRate)
        : m_device(outputRate, [this](std::span<const float> block) {
            m_samples.insert(m_samples.end(), block.begin(), block.end());
        })
    {
        m_device.start();
    }

    ManualClockSoundDevice& device() { return m_device; }

    // The next frames of the mix, interleaved stereo.
    const std::vector<float>& render(std::int64_t frames)
    {
        m_samples.clear();
        m_device.advanceFrames(frames);
        return m_samples;
    }

private:
    std::vector<float> m_samples;
    ManualClockSoundDevice m_device;
};

inline std::vector<float> channel(const std::vector<float>& interleaved, int which)
{
    std::vector<float> samples;
    for (std::size_t i = std::size_t(which); i < interleaved.size(); i += 2) {
        samples.push_back(interleaved[i]);
    }
    return samples;
}

inline double rms(const std::vector<float>& samples)
{
    double sum = 0.0;
    for (const float s : samples) {
        sum += double(s) * s;
    }
    return samples.empty() ? 0.0 : std::sqrt(sum / double(samples.size()));
}

inline int zeroCrossings(const std::vector<float>& samples)
{
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if ((samples[i - 1] < 0.0f) != (samples[i] < 0.0f)) {
            ++crossings;
        }
    }
    return crossings;
}

} // namespace oskel::test
