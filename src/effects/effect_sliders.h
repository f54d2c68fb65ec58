#pragma once

#include <cstdint>

#include "core/rounding.h"

namespace oskel {

// The effect controls' sliders run 0..255. A parameter slider shows the value 0..1 times
// 255; the "Wet / Dry" slider shows the wet amount, so the dry amount the mixer is given is
// (255 - position) / 255: all the way up (255) is all wet (0), all the way down is all dry.
inline constexpr int kEffectSliderTop = 255;

inline float parameterFromSlider(int position)
{
    return static_cast<float>(position) / kEffectSliderTop;
}
inline int sliderFromParameter(double value)
{
    return static_cast<int>(roundHalfEven(value * kEffectSliderTop));
}
inline float wetDryFromSlider(int position)
{
    return static_cast<float>(kEffectSliderTop - position) / kEffectSliderTop;
}
inline int sliderFromWetDry(double dry)
{
    return kEffectSliderTop - static_cast<int>(roundHalfEven(dry * kEffectSliderTop));
}

} // namespace oskel
