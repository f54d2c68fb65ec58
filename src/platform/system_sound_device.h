#pragma once

#include <memory>
#include <string>

#include "platform/sound_device.h"

namespace oskel {

// The sound card through RtAudio: the default output device of the first sound system
// (JACK, PulseAudio, ALSA, in that order) that has one, at the device's preferred rate, in
// stereo float samples with a block of about 256 frames. start() throws
// SoundError("Could not start the sound output") when the stream does not run.
// Returns null with the reason in whyNot when no device can be opened; prints nothing.
std::unique_ptr<SoundDevice> openSystemSoundDevice(std::string& whyNot);

} // namespace oskel
