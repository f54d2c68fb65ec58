#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/user_interface_port.h"
#include "platform/sound_capture.h"
#include "recording/sound_recorder.h"

namespace oskel {

// The sound card's input recorded to a WAV file ("--record-input FILE", or with a recording
// made from the windows), for a render that carries it. What goes wrong is said in the
// performer's words; the instrument plays on either way.
class InputRecording {
public:
    // Opens the capture through `open` (the system's by default).
    using CaptureOpener = std::function<std::unique_ptr<SoundCapture>(std::string& whyNot)>;
    InputRecording();
    explicit InputRecording(CaptureOpener open);

    // The problem, or an empty text.
    std::string start(const std::filesystem::path& file);
    std::string stop();
    // The same, with the problem shown through the user interface.
    void start(const std::filesystem::path& file, UserInterfacePort& ui);
    void stop(UserInterfacePort& ui);

private:
    CaptureOpener m_open;
    std::chrono::steady_clock::time_point m_started;
    std::unique_ptr<SoundCapture> m_capture;
    std::unique_ptr<tSoundRecorder> m_recorder;
};

} // namespace oskel
