#pragma once

#include <functional>
#include <memory>

#include "core/user_interface_port.h"
#include "platform/sound_device.h"
#include "platform/sound_output_choice.h"

namespace oskel {

inline constexpr const char* kNoSoundMessage
    = "Unable to obtain DirectSound access to your Sound Card. Maybe an old style sound "
      "application is hogging the soundcard? Oskel will shutdown.";

// Opens the sound output and starts it: the sound card, or silent output in real time when
// no card opens (the status line says so). When not even that can be set up, tells the
// performer and returns null: the program then ends.
std::unique_ptr<SoundDevice> InitSound(
    UserInterfacePort& ui, const std::function<SoundOutput()>& choose);

} // namespace oskel
