#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/slot_geometry.h"
#include "platform/video_output_device.h"
#include "recording/camera_picture_converter.h"
#include "recording/picture_handover.h"

namespace oskel {

// Told once, on the camera's thread, why the camera stopped taking pictures.
using CameraProblemHandler = std::function<void(const std::string& message)>;

// Shows the composed picture to other programs as a camera: converting and writing to the
// device run on a thread of the camera's own, so the frame thread only hands a picture over
// (see PictureHandover: never waits or allocates; when the writer is behind, the picture is
// dropped and counted). A write that fails is told once and the camera stops.
class VirtualCamera {
public:
    // Pictures of width x height come in; the device's format says what goes out.
    VirtualCamera(std::unique_ptr<VideoOutputDevice> device, CameraProblemHandler problem,
        int width = kAreaWidth, int height = kAreaHeight);
    ~VirtualCamera();
    VirtualCamera(const VirtualCamera&) = delete;
    VirtualCamera& operator=(const VirtualCamera&) = delete;

    // The frame thread: `fill(bgr, size)` writes the picture, blue-green-red and top row
    // first, straight into a free slot, and returns false when it has none. False when
    // nothing was handed over.
    template <typename Fill> bool offerFrameAt(std::int64_t frame, Fill&& fill) noexcept
    {
        return running() && m_pictures.offerAt(frame, std::forward<Fill>(fill));
    }

    std::int64_t framesWritten() const noexcept
    {
        return m_written.load(std::memory_order_relaxed);
    }
    std::int64_t framesDropped() const noexcept { return m_pictures.dropped(); }
    // False once a write failed or the camera is being dropped.
    bool running() const noexcept { return m_running.load(std::memory_order_relaxed); }

private:
    void run();

    std::unique_ptr<VideoOutputDevice> m_device;
    CameraProblemHandler m_problem;
    CameraPictureConverter m_converter;
    std::vector<std::uint8_t> m_frame; // the camera thread's
    std::atomic<std::uint32_t> m_wakes = 0;
    PictureHandover m_pictures;
    std::atomic<bool> m_running = true;
    std::atomic<bool> m_ending = false;
    std::atomic<std::int64_t> m_written = 0;
    std::thread m_thread;
};

} // namespace oskel
