#include "sources/gop_cache.h"

#include <utility>

namespace oskel {

GopCache::GopCache(std::size_t budgetBytes)
    : m_budget(budgetBytes)
{
}

const DecodedFrame* GopCache::find(std::int64_t index) const
{
    const auto found = m_frames.find(index);
    return found == m_frames.end() ? nullptr : &found->second;
}

const DecodedFrame* GopCache::insert(DecodedFrame&& frame, std::int64_t position, int direction)
{
    const std::int64_t index = frame.index;
    auto [where, added] = m_frames.try_emplace(index);
    if (!added) {
        m_bytes -= where->second.pixels.size();
    }
    m_bytes += frame.pixels.size();
    where->second = std::move(frame);
    while (m_bytes > m_budget && m_frames.size() > 1) {
        const std::size_t before = m_frames.size();
        evictOne(position, direction);
        if (m_frames.size() == before) {
            break;
        }
    }
    return find(index);
}

void GopCache::evictOne(std::int64_t position, int direction)
{
    // The furthest frame is at one end of the ordered map.
    auto lowest = m_frames.begin();
    auto highest = std::prev(m_frames.end());
    if (lowest->first == position) {
        lowest = std::next(lowest);
    }
    if (highest->first == position) {
        highest = highest == m_frames.begin() ? m_frames.end() : std::prev(highest);
    }
    const auto distance = [&](std::int64_t index) {
        const std::int64_t ahead = index - position;
        const bool passed = direction >= 0 ? ahead < 0 : ahead > 0;
        const std::int64_t away = ahead < 0 ? -ahead : ahead;
        return passed ? 2 * away : away;
    };
    auto victim = m_frames.end();
    if (lowest != m_frames.end() && lowest->first != position) {
        victim = lowest;
    }
    if (highest != m_frames.end() && highest->first != position
        && (victim == m_frames.end() || distance(highest->first) > distance(victim->first))) {
        victim = highest;
    }
    if (victim == m_frames.end()) {
        return;
    }
    m_bytes -= victim->second.pixels.size();
    m_spare = std::move(victim->second.pixels);
    m_frames.erase(victim);
}

std::vector<std::uint8_t> GopCache::takeSpareBuffer()
{
    return std::exchange(m_spare, {});
}

void GopCache::clear()
{
    m_frames.clear();
    m_bytes = 0;
}

} // namespace oskel
