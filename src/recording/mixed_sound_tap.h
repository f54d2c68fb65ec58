#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/sound_device.h"
#include "recording/render_output.h"

namespace oskel {

// Takes the instrument's mixed sound as the manual clock makes it and hands it to a render
// output as 16-bit sample frames. Before an output is set, the sound is dropped.
// The thread that advances the clock.
class MixedSoundTap {
public:
    MixedSoundTap() = default;
    MixedSoundTap(const MixedSoundTap&) = delete;
    MixedSoundTap& operator=(const MixedSoundTap&) = delete;

    // For the sound device; the tap must outlive it.
    MixedSoundSink sink();
    void setOutput(RenderOutput* output) { m_output = output; }

    // -1..1 to 16 bits, to the nearest step, halves to even; beyond the range: the limits.
    static std::int16_t toSixteenBits(float sample);

private:
    void take(std::span<const float> interleavedStereo);

    RenderOutput* m_output = nullptr;
    std::vector<std::int16_t> m_block;
};

} // namespace oskel
