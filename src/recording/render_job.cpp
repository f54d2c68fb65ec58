#include "recording/render_job.h"

#include <cstring>
#include <exception>

namespace oskel {

RenderJob::~RenderJob()
{
    cancel();
    wait();
}

bool RenderJob::start(Work work)
{
    if (running()) {
        return false;
    }
    wait();
    m_cancel = false;
    m_framesDone = 0;
    m_frames = 0;
    {
        std::lock_guard guard(m_lock);
        m_problem.clear();
        m_pictureIsNew = false;
    }
    m_state = State::Running;
    m_thread = std::thread([this, work = std::move(work)] { run(work); });
    return true;
}

void RenderJob::wait()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void RenderJob::run(const Work& work)
{
    State outcome = State::Finished;
    std::string problem;
    try {
        work(*this);
    } catch (const std::exception& failure) {
        outcome = State::Failed;
        problem = failure.what();
    } catch (...) {
        outcome = State::Failed;
        problem = "The render failed";
    }
    // A render that stopped after a cancel was asked for was cancelled, whatever it threw;
    // one that finished all the same is complete and stays.
    if (outcome == State::Failed && m_cancel) {
        outcome = State::Cancelled;
    }
    if (outcome == State::Failed) {
        std::lock_guard guard(m_lock);
        m_problem = problem;
    }
    m_state = outcome;
}

std::string RenderJob::problem() const
{
    std::lock_guard guard(m_lock);
    return m_problem;
}

void RenderJob::progress(std::int64_t framesDone, std::int64_t frames)
{
    m_frames = frames;
    m_framesDone = framesDone;
}

// The render never waits for the preview: while the window copies the last picture, this one
// is skipped.
void RenderJob::picture(const std::uint8_t* bgr)
{
    std::unique_lock guard(m_lock, std::try_to_lock);
    if (!guard.owns_lock()) {
        return;
    }
    m_picture.assign(bgr, bgr + kPictureBytes);
    m_pictureIsNew = true;
}

bool RenderJob::takePicture(std::vector<std::uint8_t>& into)
{
    std::lock_guard guard(m_lock);
    if (!m_pictureIsNew) {
        return false;
    }
    into = m_picture;
    m_pictureIsNew = false;
    return true;
}

} // namespace oskel
