#include "platform/manual_clock_sound_device.h"

#include <algorithm>
#include <span>
#include <utility>

namespace oskel {

ManualClockSoundDevice::ManualClockSoundDevice(int outputRate, MixedSoundSink sink)
    : MixingSoundDevice(outputRate)
    , m_sink(std::move(sink))
    , m_counter(outputRate)
    , m_chunk(std::size_t(kChunkFrames) * 2)
{
}

std::string ManualClockSoundDevice::description() const
{
    return "Manual clock: " + std::to_string(outputRate()) + " Hz, no sound output";
}

void ManualClockSoundDevice::start()
{
    m_running.store(true);
}

void ManualClockSoundDevice::stop()
{
    m_running.store(false);
}

void ManualClockSoundDevice::advance(std::int64_t milliseconds)
{
    if (m_running.load() && milliseconds > 0) {
        advanceFrames(m_counter.framesFor(milliseconds));
    }
}

void ManualClockSoundDevice::advanceFrames(std::int64_t frames)
{
    if (!m_running.load()) {
        return;
    }
    while (frames > 0) {
        const std::int64_t count = std::min(frames, kChunkFrames);
        const std::span<float> block(m_chunk.data(), std::size_t(count) * 2);
        mixer().mix(block);
        m_framesMixed += count;
        frames -= count;
        if (m_sink) {
            m_sink(block);
        }
    }
}

} // namespace oskel
