#include "recording/stream_switch.h"

namespace oskel {

StreamSwitch::StreamSwitch(const Performance& performance, StreamingRenderer& renderer,
    MainThreadDispatcher& mainThread, UserInterfacePort& ui, SoundDevice* sound)
    : LiveOutputSwitch(mainThread, ui)
    , m_performance(performance)
    , m_renderer(renderer)
    , m_sound(sound)
{
}

StreamSwitch::~StreamSwitch()
{
    stop();
}

void StreamSwitch::stop()
{
    if (m_soundTap) {
        m_sound->setMixListener(nullptr);
        m_soundTap.reset();
    }
    m_renderer.setStream(nullptr);
    m_stream.reset();
}

bool StreamSwitch::start(const std::string& url)
{
    StreamTargetChoice choice = chooseStreamTarget(url, kFramesPerSecond);
    if (!choice.target) {
        tell(choice.problem);
        return false;
    }
    const bool withSound = m_sound != nullptr;
    m_stream = std::make_unique<StreamOutput>(
        std::move(*choice.target), withSound, [this](const std::string& message) { fail(message); },
        StreamOutput::kStallLimit, withSound ? m_sound->outputRate() : StreamOutput::kSoundRate);
    m_renderer.setStream(m_stream.get(), kFramesPerSecond);
    if (withSound) {
        m_soundTap = std::make_unique<LiveSoundTap>(*m_stream);
        m_sound->setMixListener(m_soundTap.get());
    }
    return true;
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
