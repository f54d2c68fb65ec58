#include "app/input_recording.h"

namespace oskel {

InputRecording::InputRecording()
    : InputRecording(openSystemSoundCapture)
{
}

InputRecording::InputRecording(CaptureOpener open)
    : m_open(std::move(open))
{
}

std::string InputRecording::start(const std::filesystem::path& file)
{
    stop();
    std::string whyNot;
    m_capture = m_open(whyNot);
    if (!m_capture) {
        return "The sound input cannot be recorded: " + whyNot;
    }
    m_recorder = std::make_unique<tSoundRecorder>(*m_capture);
    m_started = std::chrono::steady_clock::now();
    std::string problem = m_recorder->start(file);
    if (!problem.empty()) {
        m_recorder.reset();
        m_capture.reset();
    }
    return problem;
}

std::string InputRecording::stop()
{
    if (!m_recorder) {
        return {};
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - m_started);
    std::string problem = m_recorder->stop();
    const auto addLine = [&problem](const std::string& line) {
        if (!line.empty()) {
            problem += (problem.empty() ? "" : "\n") + line;
        }
    };
    addLine(soundInputShortfall(m_recorder->receivedFrames(), elapsed.count()));
    if (m_recorder->droppedSamples() > 0) {
        addLine("The recording of the sound input lost "
            + std::to_string(m_recorder->droppedSamples()) + " samples");
    }
    m_recorder.reset();
    m_capture.reset();
    return problem;
}

void InputRecording::start(const std::filesystem::path& file, UserInterfacePort& ui)
{
    if (const std::string problem = start(file); !problem.empty()) {
        ui.showMessage(problem);
    }
}

void InputRecording::stop(UserInterfacePort& ui)
{
    if (const std::string problem = stop(); !problem.empty()) {
        ui.showMessage(problem);
    }
}

} // namespace oskel
