#include "recording/mixed_sound_tap.h"

#include <algorithm>
#include <cmath>

namespace oskel {

MixedSoundSink MixedSoundTap::sink()
{
    return [this](std::span<const float> samples) { take(samples); };
}

std::int16_t MixedSoundTap::toSixteenBits(float sample)
{
    if (!(sample == sample)) {
        return 0; // not a number
    }
    const float scaled = std::clamp(sample, -1.0F, 1.0F) * 32767.0F;
    return static_cast<std::int16_t>(std::nearbyint(scaled));
}

void MixedSoundTap::take(std::span<const float> interleavedStereo)
{
    if (m_output == nullptr) {
        return;
    }
    m_block.resize(interleavedStereo.size());
    std::ranges::transform(interleavedStereo, m_block.begin(), toSixteenBits);
    m_output->writeSound(m_block);
}

} // namespace oskel
