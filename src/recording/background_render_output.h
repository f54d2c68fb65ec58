#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <variant>
#include <vector>

#include "core/frame_size.h"
#include "recording/render_output.h"

namespace oskel {

// Hands a render's pictures and sound to another output on a thread of its own, in the order
// they came, so that compressing and writing frame n overlaps the drawing of frame n + 1.
// At most kPicturesAhead pictures wait; a further picture waits for one of them to be taken.
// A failure of the output shows at the next call from the render, and at finish().
// Dropped unfinished, the pictures still waiting are thrown away and the output is dropped
// unfinished too.
class BackgroundRenderOutput final : public RenderOutput {
public:
    static constexpr std::size_t kPicturesAhead = 3;

    // Pictures of pictureBytes bytes each.
    explicit BackgroundRenderOutput(std::unique_ptr<RenderOutput> output,
        std::size_t pictureBytes = kStandardComposition.bgrBytes());
    ~BackgroundRenderOutput() override;
    BackgroundRenderOutput(const BackgroundRenderOutput&) = delete;
    BackgroundRenderOutput& operator=(const BackgroundRenderOutput&) = delete;

    void writeFrame(const std::uint8_t* bgr) override;
    void writeSound(std::span<const std::int16_t> samples) override;
    // Waits until everything is written, then finishes the output.
    void finish() override;

private:
    struct Picture {
        std::size_t buffer;
    };
    using Sound = std::vector<std::int16_t>;
    using Job = std::variant<Picture, Sound>;

    void run();
    void carryOut(Job& job);
    void push(Job job);
    void throwIfFailed();

    std::unique_ptr<RenderOutput> m_output;
    std::vector<std::vector<std::uint8_t>> m_buffers;
    std::vector<std::size_t> m_freeBuffers;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    std::exception_ptr m_failure;
    std::thread m_thread;
};

} // namespace oskel
