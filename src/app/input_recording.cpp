#include "app/input_recording.h"

#include <string>

namespace oskel {

void InputRecording::start(const std::filesystem::path& file, UserInterfacePort& ui)
{
    std::string whyNot;
    m_capture = openSystemSoundCapture(whyNot);
    if (!m_capture) {
        ui.showMessage("The sound input cannot be recorded: " + whyNot);
        return;
    }
    m_recorder = std::make_unique<tSoundRecorder>(*m_capture);
    if (const std::string problem = m_recorder->start(file); !problem.empty()) {
        ui.showMessage(problem);
        m_recorder.reset();
    }
}

void InputRecording::stop(UserInterfacePort& ui)
{
    if (!m_recorder) {
        return;
    }
    if (const std::string problem = m_recorder->stop(); !problem.empty()) {
        ui.showMessage(problem);
    }
    if (m_recorder->droppedSamples() > 0) {
        ui.showMessage("The recording of the sound input lost "
            + std::to_string(m_recorder->droppedSamples()) + " samples");
    }
    m_recorder.reset();
    m_capture.reset();
}

} // namespace oskel
