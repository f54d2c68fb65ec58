#include "recording/live_sound_tap.h"

#include <algorithm>

#include "recording/mixed_sound_tap.h"

namespace oskel {

void LiveSoundTap::mixed(std::span<const float> interleavedStereo) noexcept
{
    while (!interleavedStereo.empty()) {
        const std::size_t count = std::min(interleavedStereo.size(), m_block.size());
        std::ranges::transform(
            interleavedStereo.first(count), m_block.begin(), MixedSoundTap::toSixteenBits);
        m_stream.offerSound(std::span<const std::int16_t>(m_block.data(), count));
        interleavedStereo = interleavedStereo.subspan(count);
    }
}

} // namespace oskel
