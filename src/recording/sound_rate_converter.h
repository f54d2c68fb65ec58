#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sources/ffmpeg_handles.h"

namespace oskel {

// 16-bit interleaved stereo sound coming in pieces at one rate, as stereo at another, with
// what lies between two pieces kept, so the pieces join without a click.
class SoundRateConverter {
public:
    // Throws std::runtime_error when the rates cannot be converted.
    SoundRateConverter(int fromRate, int toRate);

    // The converted sound of `samples`, valid until the next call.
    std::span<const std::int16_t> convert(std::span<const std::int16_t> samples);

private:
    ffmpeg::SwrContextPtr m_converter;
    std::vector<std::int16_t> m_out;
};

} // namespace oskel
