#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "recording/forwarding_renderer.h"

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
class ReplayTimedRenderer final : public ForwardingRenderer {
public:
    ReplayTimedRenderer(std::unique_ptr<FrameRenderer> renderer, const ReplayClock& clock)
        : ForwardingRenderer(std::move(renderer))
        , m_clock(clock)
    {
    }

    void setTickTime(std::uint32_t) override { ForwardingRenderer::setTickTime(m_clock.now()); }

private:
    const ReplayClock& m_clock;
};

} // namespace oskel
