#include "recording/stream_switch.h"

namespace oskel {

StreamSwitch::StreamSwitch(const Performance& performance, StreamingRenderer& renderer,
    MainThreadDispatcher& mainThread, UserInterfacePort& ui)
    : m_performance(performance)
    , m_renderer(renderer)
    , m_mainThread(mainThread)
    , m_ui(ui)
{
}

StreamSwitch::~StreamSwitch()
{
    stop();
}

void StreamSwitch::stop()
{
    m_renderer.setStream(nullptr);
    m_stream.reset();
}

void StreamSwitch::mainLoopTurn()
{
    if (!m_performance.options().stream.enabled) {
        stop();
        m_gaveUp = false;
        return;
    }
    if (m_stream && m_failed.load()) {
        stop(); // told already, on its thread
        m_gaveUp = true;
    }
    if (!m_stream && !m_gaveUp) {
        start();
    }
}

void StreamSwitch::start()
{
    StreamTargetChoice choice
        = chooseStreamTarget(m_performance.options().stream.url, kFramesPerSecond);
    if (!choice.target) {
        m_gaveUp = true;
        m_ui.showMessage(choice.problem);
        return;
    }
    m_failed = false;
    m_stream = std::make_unique<StreamOutput>(
        std::move(*choice.target), false, [this](const std::string& message) { tell(message); });
    m_renderer.setStream(m_stream.get(), kFramesPerSecond);
}

// The stream's thread: the message waits for the main thread, which outlives the stream.
void StreamSwitch::tell(const std::string& message)
{
    m_failed = true;
    m_mainThread.post([&ui = m_ui, message] { ui.showMessage(message); });
}

std::string StreamSwitch::countsText() const
{
    if (!m_stream) {
        return {};
    }
    return "Stream: " + std::to_string(m_stream->framesSent()) + " sent, "
        + std::to_string(m_stream->framesDropped()) + " dropped";
}

} // namespace oskel
