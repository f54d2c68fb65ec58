#include "platform/sound_output_choice.h"

#include "platform/null_sound_device.h"
#include "platform/system_sound_device.h"

namespace oskel {

SoundOutput chooseSoundOutput()
{
    return chooseSoundOutput(&openSystemSoundDevice);
}

SoundOutput chooseSoundOutput(const SystemSoundOpener& openSystem)
{
    std::string whyNot;
    if (auto device = openSystem(whyNot)) {
        return { std::move(device), {} };
    }
    return { std::make_unique<NullSoundDevice>(),
        "No sound card could be opened (" + whyNot + "): playing silently" };
}

} // namespace oskel
