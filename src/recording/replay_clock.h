#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "playback/frame_renderer.h"

namespace oskel {

// The millisecond clock of a replayed performance: it stands still until the replay moves it,
// so the timing rules (the transport's guards, the renderer's rotation steps) see the
// performance's own time instead of the wall clock's. Any thread reads it.
class ReplayClock {
public:
    std::uint32_t now() const { return m_ms.load(); }
    void set(std::uint32_t ms) { m_ms.store(ms); }
    std::function<std::uint32_t()> function() const
    {
        return [this] { return now(); };
    }

private:
    std::atomic<std::uint32_t> m_ms { 0 };
};

// A renderer that draws with another one but gives it the replay clock's time for each tick
// instead of the wall clock's.
class ReplayTimedRenderer final : public FrameRenderer {
public:
    ReplayTimedRenderer(std::unique_ptr<FrameRenderer> renderer, const ReplayClock& clock)
        : m_owned(std::move(renderer))
        , m_renderer(*m_owned)
        , m_clock(clock)
    {
    }

    bool InitDisplay() override { return m_renderer.InitDisplay(); }
    void makeCurrent() override { m_renderer.makeCurrent(); }
    void releaseContext() override { m_renderer.releaseContext(); }
    void setTickTime(std::uint32_t) override { m_renderer.setTickTime(m_clock.now()); }
    void DeleteSlotTextures(int slot) override { m_renderer.DeleteSlotTextures(slot); }
    void CreateSlotTextures(int slot, int width, int height) override
    {
        m_renderer.CreateSlotTextures(slot, width, height);
    }
    void DrawSlotFrame(int slot, const TPlayAvistruct& snapshot, const std::uint8_t* pixels,
        const TBitmapInfoHeader& header) override
    {
        m_renderer.DrawSlotFrame(slot, snapshot, pixels, header);
    }
    void DrawSlotAgain(int slot, const TPlayAvistruct& snapshot) override
    {
        m_renderer.DrawSlotAgain(slot, snapshot);
    }
    void Present() override { m_renderer.Present(); }
    void ClearOutput() override { m_renderer.ClearOutput(); }
    void ShowPicture(const std::filesystem::path& bitmap) override
    {
        m_renderer.ShowPicture(bitmap);
    }
    void DropPicture() override { m_renderer.DropPicture(); }
    bool showingPicture() const override { return m_renderer.showingPicture(); }
    bool readOutput(std::uint8_t* bgr, std::size_t size) override
    {
        return m_renderer.readOutput(bgr, size);
    }

private:
    std::unique_ptr<FrameRenderer> m_owned;
    FrameRenderer& m_renderer;
    const ReplayClock& m_clock;
};

} // namespace oskel
