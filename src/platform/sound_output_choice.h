#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/sound_device.h"

namespace oskel {

// The program's sound output and what the status line says about it.
struct SoundOutput {
    std::unique_ptr<SoundDevice> device;
    // Empty when a sound card was opened, else
    // "No sound card could be opened (<reason>): playing silently".
    std::string status;
};

using SystemSoundOpener = std::function<std::unique_ptr<SoundDevice>(std::string& whyNot)>;

// Tries the sound card and falls back to the silent null device. Never returns without a
// device. The main thread, at start-up.
SoundOutput chooseSoundOutput();
SoundOutput chooseSoundOutput(const SystemSoundOpener& openSystem);

} // namespace oskel
