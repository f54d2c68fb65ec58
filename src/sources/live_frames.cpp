#include "sources/live_frames.h"

namespace oskel {

LiveFrames::LiveFrames(int width, int height)
    : m_width(width)
    , m_height(height)
    , m_frameBytes(std::size_t(width) * std::size_t(height) * 3)
{
    for (auto& frame : m_frames) {
        frame = std::make_unique<std::uint8_t[]>(m_frameBytes);
    }
}

void LiveFrames::publish()
{
    m_back = m_middle.exchange(m_back | kFresh, std::memory_order_acq_rel) & ~kFresh;
    m_published.fetch_add(1, std::memory_order_relaxed);
}

const std::uint8_t* LiveFrames::take()
{
    if ((m_middle.load(std::memory_order_relaxed) & kFresh) != 0) {
        m_front = m_middle.exchange(m_front, std::memory_order_acq_rel) & ~kFresh;
    }
    return m_frames[m_front].get();
}

} // namespace oskel
