#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace oskel {

// What a render running in a job sees of it: where it reports its frames and whether it is
// to stop. Called on the job's thread.
class RenderJobControl {
public:
    virtual ~RenderJobControl() = default;
    virtual void progress(std::int64_t framesDone, std::int64_t frames) = 0;
    // The picture just rendered: 384 x 288 blue-green-red bytes, top row first, valid for the
    // call only. Never waits for whoever shows it.
    virtual void picture(const std::uint8_t* bgr) = 0;
    virtual bool cancelled() const = 0;
};

// One render at a time on a thread of its own, so that the windows stay responsive: its
// progress, the latest picture for the preview, a cancel that the render takes after its next
// frame, and how it ended. The render itself removes what it wrote unless it finished. Start,
// cancel and read from one thread (the main thread); the render reports from the job's.
class RenderJob final : private RenderJobControl {
public:
    enum class State { Idle, Running, Finished, Failed, Cancelled };
    // Renders; returns when the output is complete, throws (with the message to show) when it
    // is not.
    using Work = std::function<void(RenderJobControl& control)>;

    static constexpr std::size_t kPictureBytes = std::size_t(384) * 288 * 3;

    RenderJob() = default;
    // Cancels a render still running and waits for it.
    ~RenderJob();
    RenderJob(const RenderJob&) = delete;
    RenderJob& operator=(const RenderJob&) = delete;

    // False when a render is running already.
    bool start(Work work);
    void cancel() { m_cancel = true; }
    State state() const { return m_state.load(); }
    bool running() const { return state() == State::Running; }
    // Waits until the render has ended.
    void wait();

    std::int64_t framesDone() const { return m_framesDone.load(); }
    std::int64_t frames() const { return m_frames.load(); }
    // The failure's message once the render failed.
    std::string problem() const;
    // Copies the latest picture when one came since the last call; false otherwise.
    bool takePicture(std::vector<std::uint8_t>& into);

private:
    void progress(std::int64_t framesDone, std::int64_t frames) override;
    void picture(const std::uint8_t* bgr) override;
    bool cancelled() const override { return m_cancel.load(); }
    void run(const Work& work);

    std::atomic<State> m_state { State::Idle };
    std::atomic<bool> m_cancel { false };
    std::atomic<std::int64_t> m_framesDone { 0 };
    std::atomic<std::int64_t> m_frames { 0 };
    mutable std::mutex m_lock; // the picture and the problem
    std::vector<std::uint8_t> m_picture;
    bool m_pictureIsNew = false;
    std::string m_problem;
    std::thread m_thread;
};

} // namespace oskel
