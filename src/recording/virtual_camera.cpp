#include "recording/virtual_camera.h"

namespace oskel {

VirtualCamera::VirtualCamera(
    std::unique_ptr<VideoOutputDevice> device, CameraProblemHandler problem, int width, int height)
    : m_device(std::move(device))
    , m_problem(std::move(problem))
    , m_converter(width, height, m_device->format())
    , m_frame(m_device->format().frameBytes)
    , m_pictures(m_converter.pictureBytes(), m_wakes)
{
    m_thread = std::thread([this] { run(); });
}

VirtualCamera::~VirtualCamera()
{
    m_ending = true;
    m_running = false;
    m_wakes.fetch_add(1, std::memory_order_release);
    m_wakes.notify_one();
    m_thread.join();
}

void VirtualCamera::run()
{
    for (;;) {
        const std::uint32_t seen = m_wakes.load(std::memory_order_acquire);
        if (m_ending.load()) {
            return;
        }
        const PictureHandover::Picture* picture = m_pictures.waiting();
        if (picture == nullptr) {
            m_wakes.wait(seen, std::memory_order_acquire);
            continue;
        }
        m_converter.convert(picture->bytes.data(), m_frame);
        m_pictures.release();
        if (const std::string problem = m_device->write(m_frame); !problem.empty()) {
            m_running = false;
            m_problem(problem);
            return;
        }
        m_written.fetch_add(1, std::memory_order_relaxed);
    }
}

} // namespace oskel
