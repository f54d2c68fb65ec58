#include "recording/background_render_output.h"

#include <cstring>

namespace oskel {

BackgroundRenderOutput::BackgroundRenderOutput(
    std::unique_ptr<RenderOutput> output, std::size_t pictureBytes)
    : m_output(std::move(output))
    , m_buffers(kPicturesAhead, std::vector<std::uint8_t>(pictureBytes))
{
    for (std::size_t buffer = 0; buffer < kPicturesAhead; ++buffer) {
        m_freeBuffers.push_back(buffer);
    }
    m_thread = std::thread([this] { run(); });
}

BackgroundRenderOutput::~BackgroundRenderOutput()
{
    {
        std::lock_guard guard(m_lock);
        m_stopping = true;
        m_jobs.clear();
    }
    m_changed.notify_all();
    m_thread.join();
}

void BackgroundRenderOutput::throwIfFailed()
{
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
}

void BackgroundRenderOutput::writeFrame(const std::uint8_t* bgr)
{
    std::size_t buffer = 0;
    {
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [this] { return !m_freeBuffers.empty() || m_failure; });
        throwIfFailed();
        buffer = m_freeBuffers.back();
        m_freeBuffers.pop_back();
    }
    // The buffer is the render's alone until it is queued.
    std::memcpy(m_buffers[buffer].data(), bgr, m_buffers[buffer].size());
    push(Picture { buffer });
}

void BackgroundRenderOutput::writeSound(std::span<const std::int16_t> samples)
{
    push(Sound(samples.begin(), samples.end()));
}

void BackgroundRenderOutput::push(Job job)
{
    {
        std::lock_guard guard(m_lock);
        throwIfFailed();
        m_jobs.push_back(std::move(job));
    }
    m_changed.notify_all();
}

void BackgroundRenderOutput::finish()
{
    {
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [this] { return (m_jobs.empty() && !m_busy) || m_failure; });
        throwIfFailed();
    }
    m_output->finish();
}

void BackgroundRenderOutput::run()
{
    std::unique_lock guard(m_lock);
    for (;;) {
        m_changed.wait(guard, [this] { return !m_jobs.empty() || m_stopping; });
        if (m_stopping) {
            return;
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        guard.unlock();
        std::exception_ptr failure;
        try {
            carryOut(job);
        } catch (...) {
            failure = std::current_exception();
        }
        guard.lock();
        m_busy = false;
        if (const Picture* picture = std::get_if<Picture>(&job)) {
            m_freeBuffers.push_back(picture->buffer);
        }
        if (failure) {
            m_failure = failure;
            m_jobs.clear();
        }
        m_changed.notify_all();
    }
}

void BackgroundRenderOutput::carryOut(Job& job)
{
    if (const Picture* picture = std::get_if<Picture>(&job)) {
        m_output->writeFrame(m_buffers[picture->buffer].data());
    } else {
        m_output->writeSound(std::get<Sound>(job));
    }
}

} // namespace oskel
