#include "recording/streamed_render_output.h"

#include <chrono>
#include <thread>

namespace oskel {

namespace {

class StreamedRenderOutput final : public RenderOutput {
public:
    StreamedRenderOutput(std::unique_ptr<RenderOutput> output, std::unique_ptr<StreamOutput> stream,
        int framesPerSecond)
        : m_output(std::move(output))
        , m_stream(std::move(stream))
        , m_framesPerSecond(framesPerSecond)
    {
    }

    void writeFrame(const std::uint8_t* bgr) override
    {
        waitForTheFrame();
        m_stream->offerFrame(bgr);
        m_output->writeFrame(bgr);
    }

    void writeSound(std::span<const std::int16_t> samples) override
    {
        m_stream->offerSound(samples);
        m_output->writeSound(samples);
    }

    void finish() override
    {
        m_output->finish();
        m_stream->finish();
    }

private:
    void waitForTheFrame()
    {
        using Clock = std::chrono::steady_clock;
        if (m_frames == 0) {
            m_start = Clock::now();
        }
        std::this_thread::sleep_until(
            m_start + std::chrono::microseconds(m_frames * 1'000'000 / m_framesPerSecond));
        ++m_frames;
    }

    std::unique_ptr<RenderOutput> m_output;
    std::unique_ptr<StreamOutput> m_stream;
    int m_framesPerSecond;
    std::int64_t m_frames = 0;
    std::chrono::steady_clock::time_point m_start;
};

} // namespace

std::unique_ptr<RenderOutput> withStream(
    std::unique_ptr<RenderOutput> output, std::unique_ptr<StreamOutput> stream, int framesPerSecond)
{
    return std::make_unique<StreamedRenderOutput>(
        std::move(output), std::move(stream), framesPerSecond);
}

} // namespace oskel
