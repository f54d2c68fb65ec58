#include "recording/camera_switch.h"

#include "core/slot_geometry.h"

namespace oskel {

CameraSwitch::CameraSwitch(const Performance& performance, StreamingRenderer& renderer,
    MainThreadDispatcher& mainThread, UserInterfacePort& ui, CameraOpener open)
    : LiveOutputSwitch(mainThread, ui)
    , m_performance(performance)
    , m_renderer(renderer)
    , m_open(std::move(open))
{
}

CameraSwitch::~CameraSwitch()
{
    stop();
}

void CameraSwitch::stop()
{
    m_renderer.setCamera(nullptr);
    m_camera.reset();
}

bool CameraSwitch::start(const std::string& device)
{
    LoopbackCameraChoice choice = m_open(device, videoOutputFormat(kAreaWidth, kAreaHeight));
    if (!choice.device) {
        tell(choice.problem);
        return false;
    }
    try {
        m_camera = std::make_unique<VirtualCamera>(
            std::move(choice.device), [this](const std::string& message) { fail(message); });
    } catch (const std::exception& error) {
        tell(error.what());
        return false;
    }
    m_renderer.setCamera(m_camera.get(), kFramesPerSecond);
    return true;
}

std::string CameraSwitch::countsText() const
{
    if (!m_camera) {
        return {};
    }
    return "Camera: " + std::to_string(m_camera->framesWritten()) + " written, "
        + std::to_string(m_camera->framesDropped()) + " dropped";
}

} // namespace oskel
