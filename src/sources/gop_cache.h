#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "sources/decoded_media.h"

namespace oskel {

// Decoded frames around the play position of one clip, by frame index, within a memory
// budget. Long-GOP clips can only be decoded forwards from a keyframe: when play goes
// backwards, or a scratch jumps back, the decoder seeks to the keyframe before and decodes
// the group forwards, and every frame decoded on the way is kept here. The frames that follow
// are then served from the cache, so that backward play costs about one decode per frame
// shown instead of a whole group per frame.
//
// When the budget is exceeded the frame furthest from the play position goes first; frames on
// the side play has already passed count as twice as far, since play moves away from them.
class GopCache {
public:
    static constexpr std::size_t kDefaultBudgetBytes = std::size_t(96) * 1024 * 1024;

    explicit GopCache(std::size_t budgetBytes = kDefaultBudgetBytes);

    // A clip of keyframes only needs no more than the last few frames: any frame decodes on
    // its own, and fresh memory for every frame would cost more than it saves.
    void setBudget(std::size_t budgetBytes) { m_budget = budgetBytes; }

    const DecodedFrame* find(std::int64_t index) const;

    // Keeps `frame` (replacing one of the same index) and evicts until within budget, never
    // the frame at `position`. `direction` is +1 for forward play, -1 for backward. Returns
    // the stored frame, or null when it was evicted at once.
    const DecodedFrame* insert(DecodedFrame&& frame, std::int64_t position, int direction);

    // The pixel buffer of the last evicted frame, for the next frame to be decoded into.
    std::vector<std::uint8_t> takeSpareBuffer();

    void clear();
    std::size_t bytes() const { return m_bytes; }
    std::size_t size() const { return m_frames.size(); }

private:
    void evictOne(std::int64_t position, int direction);

    std::size_t m_budget;
    std::size_t m_bytes = 0;
    std::map<std::int64_t, DecodedFrame> m_frames;
    std::vector<std::uint8_t> m_spare;
};

} // namespace oskel
