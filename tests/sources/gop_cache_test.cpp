#include <cstdint>

#include <gtest/gtest.h>

#include "sources/gop_cache.h"

namespace oskel {
namespace {

constexpr std::size_t kFrameBytes = 100;

DecodedFrame frame(std::int64_t index)
{
    DecodedFrame result;
    result.index = index;
    result.pixels.assign(kFrameBytes, static_cast<std::uint8_t>(index));
    return result;
}

TEST(GopCache, KeepsFramesWithinItsBudget)
{
    GopCache cache(5 * kFrameBytes);
    for (std::int64_t i = 0; i < 20; ++i) {
        ASSERT_NE(cache.insert(frame(i), i, 1), nullptr);
        EXPECT_LE(cache.bytes(), 5 * kFrameBytes);
    }
    EXPECT_EQ(cache.size(), 5U);
    // Forward play: the frames just played stay, the oldest went.
    EXPECT_NE(cache.find(19), nullptr);
    EXPECT_NE(cache.find(15), nullptr);
    EXPECT_EQ(cache.find(14), nullptr);
    EXPECT_EQ(cache.find(17)->pixels.front(), 17);
}

TEST(GopCache, BackwardPlayKeepsTheGroupDecodedBeforeThePosition)
{
    // Backward play reached frame 50 after showing 60..51; the group 40..49 is decoded to go on.
    GopCache cache(16 * kFrameBytes);
    for (std::int64_t i = 60; i >= 50; --i) {
        cache.insert(frame(i), i, -1);
    }
    for (std::int64_t i = 40; i < 50; ++i) {
        cache.insert(frame(i), 50, -1);
    }
    // Frames already shown count twice as far: 60..56 go, though 40..44 are as far away.
    for (std::int64_t i = 40; i <= 55; ++i) {
        EXPECT_NE(cache.find(i), nullptr) << i;
    }
    for (std::int64_t i = 56; i <= 60; ++i) {
        EXPECT_EQ(cache.find(i), nullptr) << i;
    }
}

TEST(GopCache, NeverEvictsThePlayPosition)
{
    GopCache cache(kFrameBytes); // room for one frame
    cache.insert(frame(3), 3, 1);
    EXPECT_EQ(cache.insert(frame(100), 3, 1), nullptr); // evicted at once
    EXPECT_NE(cache.find(3), nullptr);
    EXPECT_EQ(cache.size(), 1U);
    EXPECT_EQ(cache.takeSpareBuffer().size(), kFrameBytes); // its buffer is kept for reuse
}

TEST(GopCache, ReplacingAFrameCountsItsBytesOnce)
{
    GopCache cache(10 * kFrameBytes);
    cache.insert(frame(1), 1, 1);
    cache.insert(frame(1), 1, 1);
    EXPECT_EQ(cache.bytes(), kFrameBytes);
    cache.clear();
    EXPECT_EQ(cache.bytes(), 0U);
    EXPECT_EQ(cache.find(1), nullptr);
}

} // namespace
} // namespace oskel
