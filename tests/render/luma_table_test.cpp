#include <cstdint>
#include <cstdlib>

#include <gtest/gtest.h>

#include "render/luma_table.h"
#include "render/product_table.h"

namespace {

using namespace oskel;

LumaTable built(int low, int high, bool inverse)
{
    LumaTable table;
    BuildLumaTable(table, low, high, inverse);
    return table;
}

LumaTable cachedFor(int level, int blend, bool inverse)
{
    LumaCache cache;
    cache.update(level, blend, inverse);
    return cache.table;
}

struct LumaCase {
    const char* name;
    int level;
    int blend;
    bool inverse;
    int sum;
    int alpha;
};

class LumaKeyTable : public ::testing::TestWithParam<LumaCase> { };

TEST_P(LumaKeyTable, GivesTheAlphaOfTheRule)
{
    const LumaCase& c = GetParam();
    const LumaTable table = cachedFor(c.level, c.blend, c.inverse);
    EXPECT_EQ(table.alpha[static_cast<std::size_t>(c.sum)], c.alpha);
}

INSTANTIATE_TEST_SUITE_P(Cases, LumaKeyTable,
    ::testing::Values(
        // Blend 0 is a hard key: at or below the level transparent, above it opaque.
        LumaCase { "HardKeyAtLevel", 300, 0, false, 300, 0 },
        LumaCase { "HardKeyAboveLevel", 300, 0, false, 301, 255 },
        LumaCase { "HardKeyInvertedAtLevel", 300, 0, true, 300, 255 },
        LumaCase { "HardKeyInvertedAboveLevel", 300, 0, true, 301, 0 },
        // Level 300, blend 100: a ramp over 200..400.
        LumaCase { "RampMiddle", 300, 100, false, 300, 128 },
        LumaCase { "RampLowEnd", 300, 100, false, 200, 0 },
        LumaCase { "RampHighEnd", 300, 100, false, 400, 255 },
        LumaCase { "RampJustBelowHighTruncates", 300, 100, false, 399, 254 },
        LumaCase { "RampMiddleInverted", 300, 100, true, 300, 127 },
        LumaCase { "RampLowEndInverted", 300, 100, true, 200, 255 },
        LumaCase { "RampHighEndInverted", 300, 100, true, 400, 0 },
        // Level 700, blend 100: the high end is capped at 767, so the ramp runs 600..767
        // (166 x 256 / 167 = 254.5 truncated), not 600..800 (which would give 212).
        LumaCase { "HighCappedAt767", 700, 100, false, 766, 254 },
        LumaCase { "HighCappedLastEntry", 700, 100, false, 767, 255 },
        // Level 50, blend 100: the low end stops at 0, the ramp runs 0..150.
        LumaCase { "LowStopsAtZero", 50, 100, false, 75, 128 },
        LumaCase { "LowStopsAtZeroBlack", 50, 100, false, 0, 0 }),
    [](const ::testing::TestParamInfo<LumaCase>& tested) {
        return std::string(tested.param.name);
    });

TEST(LumaTable, LevelsGivenTheWrongWayRoundAreExchanged)
{
    EXPECT_EQ(built(400, 200, false).alpha, built(200, 400, false).alpha);
    EXPECT_EQ(built(400, 200, true).alpha, built(200, 400, true).alpha);
}

TEST(LumaTable, InverseMirrorsEveryEntry)
{
    const LumaTable plain = built(123, 456, false);
    const LumaTable inverse = built(123, 456, true);
    for (std::size_t i = 0; i < plain.alpha.size(); ++i) {
        ASSERT_EQ(inverse.alpha[i], 255 - plain.alpha[i]) << "sum " << i;
    }
}

TEST(LumaTable, ExtremeLevelsNeitherOverflowNorLeaveTheRange)
{
    LumaCache cache;
    cache.update(2147483647, 2147483647, false);
    EXPECT_EQ(cache.table.alpha[0], 0);
    cache.update(-2147483647 - 1, 2147483647, false);
    EXPECT_EQ(cache.table.alpha[767], 255);
    const LumaTable wide = built(-2147483647 - 1, 2147483647, false);
    EXPECT_EQ(wide.alpha[0], 128); // the middle of a ramp over the whole int range
}

TEST(LumaCache, StartsWithTheRampFrom255To512)
{
    const LumaCache cache;
    EXPECT_EQ(cache.level, 0);
    EXPECT_EQ(cache.blend, 0);
    EXPECT_FALSE(cache.inverse);
    EXPECT_EQ(cache.table.alpha, built(255, 512, false).alpha);
    EXPECT_EQ(cache.table.alpha[255], 0);
    EXPECT_EQ(cache.table.alpha[384], 128);
    EXPECT_EQ(cache.table.alpha[512], 255);
}

TEST(LumaCache, RebuildsOnlyWhenASettingChanges)
{
    LumaCache cache;
    // The starting settings match 0, 0, off: that slot keeps the starting ramp.
    EXPECT_FALSE(cache.update(0, 0, false));
    EXPECT_EQ(cache.table.alpha, LumaCache::initialTable().alpha);

    EXPECT_TRUE(cache.update(300, 100, false));
    EXPECT_EQ(cache.table.alpha, built(200, 400, false).alpha);
    EXPECT_FALSE(cache.update(300, 100, false));

    EXPECT_TRUE(cache.update(300, 100, true));
    EXPECT_EQ(cache.table.alpha, built(200, 400, true).alpha);
    EXPECT_TRUE(cache.update(300, 50, true));
    EXPECT_EQ(cache.table.alpha, built(250, 350, true).alpha);
    EXPECT_TRUE(cache.update(310, 50, true));
    EXPECT_EQ(cache.table.alpha, built(260, 360, true).alpha);
    EXPECT_EQ(cache.level, 310);
    EXPECT_EQ(cache.blend, 50);
    EXPECT_TRUE(cache.inverse);
}

TEST(ProductTable, HandPickedEntries)
{
    const ProductTable product;
    EXPECT_EQ(product(0, 0), 0);
    EXPECT_EQ(product(0, 255), 0);
    EXPECT_EQ(product(255, 255), 255);
    EXPECT_EQ(product(255, 77), 77);
    EXPECT_EQ(product(128, 128), 64); // 64.25
    EXPECT_EQ(product(1, 127), 0); // 0.498
    EXPECT_EQ(product(1, 128), 1); // 0.502
    EXPECT_EQ(product(200, 100), 78); // 78.43
    EXPECT_EQ(product(254, 254), 253); // 253.0039
    EXPECT_EQ(product(127, 255), 127);
    EXPECT_EQ(product.data()[200 * 256 + 100], 78);
}

// i x j / 255 never lies exactly halfway between two integers (2ij is even, 255 odd), so
// the nearest integer is always unique: every entry must be it, and the table symmetric.
TEST(ProductTable, EveryEntryIsTheNearestIntegerToTheProductOver255)
{
    const ProductTable product;
    for (int i = 0; i < 256; ++i) {
        for (int j = 0; j < 256; ++j) {
            const int entry = product(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(j));
            ASSERT_LE(std::abs(entry * 255 - i * j), 127) << i << " x " << j;
            ASSERT_EQ(entry, product(static_cast<std::uint8_t>(j), static_cast<std::uint8_t>(i)));
        }
    }
}

} // namespace
