#include "playback/init_sound.h"

namespace oskel {

std::unique_ptr<SoundDevice> InitSound(
    UserInterfacePort& ui, const std::function<SoundOutput()>& choose)
{
    try {
        SoundOutput output = choose();
        if (output.device) {
            if (!output.status.empty()) {
                ui.setStatusText(output.status);
            }
            output.device->start();
            return std::move(output.device);
        }
    } catch (const std::exception&) {
        // Reported below, as any other way of finding no sound output.
    }
    ui.showMessage(kNoSoundMessage);
    return nullptr;
}

} // namespace oskel
