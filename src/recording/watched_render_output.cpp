#include "recording/watched_render_output.h"

namespace oskel {

namespace {

class WatchedRenderOutput final : public RenderOutput {
public:
    WatchedRenderOutput(std::unique_ptr<RenderOutput> output, PictureWatch watch)
        : m_output(std::move(output))
        , m_watch(std::move(watch))
    {
    }
    void writeFrame(const std::uint8_t* bgr) override
    {
        m_watch(bgr);
        m_output->writeFrame(bgr);
    }
    void writeSound(std::span<const std::int16_t> samples) override
    {
        m_output->writeSound(samples);
    }
    void finish() override { m_output->finish(); }

private:
    std::unique_ptr<RenderOutput> m_output;
    PictureWatch m_watch;
};

} // namespace

std::unique_ptr<RenderOutput> withPictureWatch(
    std::unique_ptr<RenderOutput> output, PictureWatch watch)
{
    return std::make_unique<WatchedRenderOutput>(std::move(output), std::move(watch));
}

} // namespace oskel
