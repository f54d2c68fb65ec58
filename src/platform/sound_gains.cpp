#include "platform/sound_gains.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace oskel {

namespace {

constexpr int kSilence = -10000;

} // namespace

float volumeGain(int hundredthsOfDecibel)
{
    if (hundredthsOfDecibel <= kSilence) {
        return 0.0f;
    }
    return std::pow(10.0f, static_cast<float>(hundredthsOfDecibel) / 2000.0f);
}

StereoGains voiceGains(int volume, int pan)
{
    const float gain = volumeGain(volume);
    const float away = volumeGain(-std::abs(pan));
    if (pan < 0) {
        return { gain, gain * away };
    }
    return { gain * away, gain };
}

float masterGain(int level)
{
    return static_cast<float>(std::clamp(level, 0, 255) * 256) / 65535.0f;
}

} // namespace oskel
