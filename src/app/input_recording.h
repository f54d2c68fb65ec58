#pragma once

#include <filesystem>
#include <memory>

#include "core/user_interface_port.h"
#include "platform/sound_capture.h"
#include "recording/sound_recorder.h"

namespace oskel {

// "--record-input FILE": the sound card's input recorded to a WAV file while the instrument
// runs, for a render that carries it. What goes wrong is said through the user interface;
// the instrument plays on either way.
class InputRecording {
public:
    void start(const std::filesystem::path& file, UserInterfacePort& ui);
    void stop(UserInterfacePort& ui);

private:
    std::unique_ptr<SoundCapture> m_capture;
    std::unique_ptr<tSoundRecorder> m_recorder;
};

} // namespace oskel
