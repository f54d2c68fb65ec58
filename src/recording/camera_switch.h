#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/performance.h"
#include "platform/loopback_camera.h"
#include "recording/live_output_switch.h"
#include "recording/streaming_renderer.h"

namespace oskel {

// Opens the virtual camera of that name for pictures of that format, or says why not.
using CameraOpener
    = std::function<LoopbackCameraChoice(const std::string& name, const VideoOutputFormat& format)>;

// The live output shown as a camera while the "VirtualCameraOutput" control is on, on the
// device the camera options name (see LiveOutputSwitch for when it opens and closes). A device
// that is missing or is not a virtual camera is told once, as is a write that fails.
class CameraSwitch final : public LiveOutputSwitch {
public:
    static constexpr int kFramesPerSecond = 25;

    CameraSwitch(
        const Performance& performance, StreamingRenderer& renderer,
        MainThreadDispatcher& mainThread, UserInterfacePort& ui,
        CameraOpener open = [](const std::string& name, const VideoOutputFormat& format) {
            return openLoopbackCamera(name, format);
        });
    ~CameraSwitch() override;

    void stop() override;
    // "Camera: 1200 written, 3 dropped" while the camera runs; empty otherwise.
    std::string countsText() const;

private:
    bool wanted() const override { return m_performance.options().camera.enabled; }
    std::string target() const override { return m_performance.options().camera.device; }
    bool running() const override { return m_camera != nullptr; }
    bool start(const std::string& device) override;

    const Performance& m_performance;
    StreamingRenderer& m_renderer;
    CameraOpener m_open;
    std::unique_ptr<VirtualCamera> m_camera;
};

} // namespace oskel
