#pragma once

namespace oskel {

struct StereoGains {
    float left = 1.0f;
    float right = 1.0f;
};

// Linear gain of a volume in hundredths of a decibel: 10^(volume / 2000); -10000 is silence.
float volumeGain(int hundredthsOfDecibel);

// A voice's volume and pan as gains per side: the side away from the pan is attenuated by
// |pan| hundredths of a decibel, the other side keeps the volume; a full pan silences a side.
StereoGains voiceGains(int volume, int pan);

// The master level 0..255 as the final linear gain on the mix: level * 256 / 65535.
float masterGain(int level);

} // namespace oskel
