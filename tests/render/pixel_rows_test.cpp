#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "render/luma_table.h"
#include "render/pixel_rows.h"
#include "render/product_table.h"

namespace {

using namespace oskel;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kGuard = 0xA5;
constexpr std::size_t kGuardBytes = 32;

// Deterministic bytes that take every value and differ between neighbours.
Bytes patternBytes(std::size_t count, unsigned seed)
{
    Bytes bytes(count);
    unsigned state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

// A destination of exactly `bytes` bytes followed by guard bytes that must stay untouched.
struct GuardedOutput {
    explicit GuardedOutput(std::size_t bytes)
        : size(bytes)
        , storage(bytes + kGuardBytes, kGuard)
    {
    }
    std::uint8_t* data() { return storage.data(); }
    Bytes written() const { return Bytes(storage.begin(), storage.begin() + std::ptrdiff_t(size)); }
    bool guardIntact() const
    {
        for (std::size_t i = size; i < storage.size(); ++i) {
            if (storage[i] != kGuard) {
                return false;
            }
        }
        return true;
    }
    std::size_t size;
    Bytes storage;
};

// The rules, one pixel at a time, to compare the row routines with.
Bytes swappedByRule(const Bytes& bgr, int mode)
{
    Bytes out(bgr.size());
    for (std::size_t p = 0; p + 2 < bgr.size(); p += 3) {
        const std::uint8_t b = bgr[p], g = bgr[p + 1], r = bgr[p + 2];
        const std::array<std::array<std::uint8_t, 3>, 4> byMode { { { b, g, r }, { b, r, g },
            { r, g, b }, { g, b, r } } };
        const auto& swapped = byMode[static_cast<std::size_t>(mode)];
        out[p] = swapped[0];
        out[p + 1] = swapped[1];
        out[p + 2] = swapped[2];
    }
    return out;
}

Bytes withAlphaByRule(const Bytes& bgr, const Bytes& alpha)
{
    Bytes out;
    for (std::size_t p = 0; p < alpha.size(); ++p) {
        out.insert(out.end(), { bgr[3 * p], bgr[3 * p + 1], bgr[3 * p + 2], alpha[p] });
    }
    return out;
}

struct SwapCase {
    const char* name;
    int mode;
    std::array<std::uint8_t, 3> in; // blue, green, red
    std::array<std::uint8_t, 3> out; // blue, green, red
};

class ColourSwapOnPureColours : public ::testing::TestWithParam<SwapCase> { };

TEST_P(ColourSwapOnPureColours, MovesTheChannels)
{
    const SwapCase& c = GetParam();
    Bytes row;
    for (int i = 0; i < 9; ++i) {
        row.insert(row.end(), c.in.begin(), c.in.end());
    }
    GuardedOutput out(row.size());
    copyRowWithColourSwap(row.data(), out.data(), 9, c.mode);
    for (std::size_t p = 0; p < 9; ++p) {
        EXPECT_EQ(out.written()[3 * p], c.out[0]) << "pixel " << p;
        EXPECT_EQ(out.written()[3 * p + 1], c.out[1]) << "pixel " << p;
        EXPECT_EQ(out.written()[3 * p + 2], c.out[2]) << "pixel " << p;
    }
    EXPECT_TRUE(out.guardIntact());
}

INSTANTIATE_TEST_SUITE_P(Cases, ColourSwapOnPureColours,
    ::testing::Values(SwapCase { "Mode0KeepsRed", 0, { 0, 0, 255 }, { 0, 0, 255 } },
        SwapCase { "Mode1RedBecomesGreen", 1, { 0, 0, 255 }, { 0, 255, 0 } },
        SwapCase { "Mode1GreenBecomesRed", 1, { 0, 255, 0 }, { 0, 0, 255 } },
        SwapCase { "Mode1KeepsBlue", 1, { 255, 0, 0 }, { 255, 0, 0 } },
        SwapCase { "Mode2RedBecomesBlue", 2, { 0, 0, 255 }, { 255, 0, 0 } },
        SwapCase { "Mode2KeepsGreen", 2, { 0, 255, 0 }, { 0, 255, 0 } },
        SwapCase { "Mode3BlueBecomesGreen", 3, { 255, 0, 0 }, { 0, 255, 0 } },
        SwapCase { "Mode3KeepsRed", 3, { 0, 0, 255 }, { 0, 0, 255 } },
        // A mode from an edited patch that means nothing copies unchanged.
        SwapCase { "UnknownModeCopies", 7, { 10, 20, 30 }, { 10, 20, 30 } },
        SwapCase { "NegativeModeCopies", -1, { 10, 20, 30 }, { 10, 20, 30 } }),
    [](const ::testing::TestParamInfo<SwapCase>& tested) {
        return std::string(tested.param.name);
    });

// Odd lengths, lengths below and across a vector's width and the luma routine's block.
class RowLength : public ::testing::TestWithParam<int> {
protected:
    std::size_t pixels() const { return static_cast<std::size_t>(GetParam()); }
};

TEST_P(RowLength, ColourSwapWritesExactlyTheRow)
{
    const Bytes bgr = patternBytes(pixels() * 3, 1);
    for (int mode = 0; mode <= 3; ++mode) {
        GuardedOutput out(pixels() * 3);
        copyRowWithColourSwap(bgr.data(), out.data(), GetParam(), mode);
        EXPECT_EQ(out.written(), swappedByRule(bgr, mode)) << "mode " << mode;
        EXPECT_TRUE(out.guardIntact()) << "mode " << mode;
    }
}

LumaTable builtTable(int low, int high, bool inverse)
{
    LumaTable table;
    BuildLumaTable(table, low, high, inverse);
    return table;
}

// Any table, and tables built as ramps (whose alphas the row may work out rather than look up):
// levels given the wrong way round, a hard key, levels beyond the sums.
TEST_P(RowLength, LumaAlphaGivesEveryPixelTheTableEntryOfItsSum)
{
    const Bytes bgr = patternBytes(pixels() * 3, 2);
    LumaTable filled;
    const Bytes entries = patternBytes(filled.alpha.size(), 3);
    std::copy(entries.begin(), entries.end(), filled.alpha.begin());
    const LumaTable tables[] = { filled, builtTable(200, 400, false), builtTable(650, 100, true),
        builtTable(382, 382, false), builtTable(-100, 900, false) };
    for (const LumaTable& table : tables) {
        Bytes alpha;
        for (std::size_t p = 0; p < pixels(); ++p) {
            alpha.push_back(
                table.alpha[std::size_t { bgr[3 * p] } + bgr[3 * p + 1] + bgr[3 * p + 2]]);
        }
        GuardedOutput out(pixels() * 4);
        lumaAlphaRow(bgr.data(), out.data(), GetParam(), table);
        EXPECT_EQ(out.written(), withAlphaByRule(bgr, alpha)) << "table " << &table - tables;
        EXPECT_TRUE(out.guardIntact()) << "table " << &table - tables;
    }
}

TEST_P(RowLength, StencilAlphaTakesTheMaskByte)
{
    const Bytes bgr = patternBytes(pixels() * 3, 4);
    const Bytes mask = patternBytes(pixels(), 5);
    GuardedOutput out(pixels() * 4);
    stencilAlphaRow(bgr.data(), mask.data(), out.data(), GetParam());
    EXPECT_EQ(out.written(), withAlphaByRule(bgr, mask));
    EXPECT_TRUE(out.guardIntact());
}

TEST_P(RowLength, LumaTimesStencilMultipliesTheAlphas)
{
    const ProductTable product;
    const Bytes bgra = patternBytes(pixels() * 4, 6);
    const Bytes mask = patternBytes(pixels(), 7);
    Bytes expected = bgra;
    for (std::size_t p = 0; p < pixels(); ++p) {
        expected[4 * p + 3] = product(bgra[4 * p + 3], mask[p]);
    }
    GuardedOutput out(pixels() * 4);
    lumaTimesStencilRow(bgra.data(), mask.data(), out.data(), GetParam(), product);
    EXPECT_EQ(out.written(), expected);
    EXPECT_TRUE(out.guardIntact());
}

INSTANTIATE_TEST_SUITE_P(Lengths, RowLength, ::testing::Values(1, 7, 9, 16, 31, 129, 383, 384));

TEST(PixelRows, EmptyOrNegativeRowsWriteNothing)
{
    const Bytes source = patternBytes(16, 8);
    const LumaTable table;
    const ProductTable product;
    for (const int pixels : { 0, -5 }) {
        GuardedOutput out(0);
        copyRowWithColourSwap(source.data(), out.data(), pixels, 0);
        copyRowWithColourSwap(source.data(), out.data(), pixels, 2);
        lumaAlphaRow(source.data(), out.data(), pixels, table);
        stencilAlphaRow(source.data(), source.data(), out.data(), pixels);
        lumaTimesStencilRow(source.data(), source.data(), out.data(), pixels, product);
        EXPECT_TRUE(out.guardIntact()) << pixels << " pixels";
    }
}

TEST(PixelRows, LumaAlphaWithAHardKeyOnGreys)
{
    LumaCache cache;
    cache.update(300, 0, false);
    // Greys of sum 300 (100, 100, 100) and 303 (101, 101, 101).
    const Bytes bgr { 100, 100, 100, 101, 101, 101 };
    GuardedOutput out(8);
    lumaAlphaRow(bgr.data(), out.data(), 2, cache.table);
    EXPECT_EQ(out.written(), (Bytes { 100, 100, 100, 0, 101, 101, 101, 255 }));
    EXPECT_TRUE(out.guardIntact());
}

// Every sum 0..765 in one row against the table, for every span from the hard key to 767 at
// both ends of the levels and between, a grid of other levels, and all levels paired with
// those near the ends; plain and inverse.
TEST(PixelRows, LumaAlphaOfEveryRampIsItsTableEntry)
{
    constexpr int kSums = 766;
    constexpr std::size_t kPixels = 768; // two more, sums 0 and 1: a multiple of 16 pixels
    Bytes bgr;
    for (std::size_t p = 0; p < kPixels; ++p) {
        const int sum = static_cast<int>(p) % kSums;
        const int blue = std::min(sum, 255);
        const int green = std::min(sum - blue, 255);
        bgr.insert(bgr.end(),
            { static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green),
                static_cast<std::uint8_t>(sum - blue - green) });
    }
    std::vector<std::pair<int, int>> levels;
    for (int span = 0; span <= 767; ++span) {
        for (const int low : { 0, (767 - span) / 2, 767 - span }) {
            levels.emplace_back(low, low + span);
        }
    }
    for (int low = 0; low <= 767; low += 11) {
        for (int high = low; high <= 767; high += 13) {
            levels.emplace_back(low, high);
        }
    }
    for (const int end : { 1, 2, 3, 764, 765, 766 }) {
        for (int other = 0; other <= 767; ++other) {
            levels.emplace_back(std::min(end, other), std::max(end, other));
        }
    }

    Bytes out(kPixels * 4);
    for (const auto& [low, high] : levels) {
        for (const bool inverse : { false, true }) {
            const LumaTable table = builtTable(low, high, inverse);
            lumaAlphaRow(bgr.data(), out.data(), static_cast<int>(kPixels), table);
            for (std::size_t p = 0; p < kPixels; ++p) {
                const int sum = static_cast<int>(p) % kSums;
                if (out[4 * p + 3] != table.alpha[static_cast<std::size_t>(sum)]) {
                    FAIL() << "levels " << low << ".." << high << (inverse ? " inverse" : "")
                           << ", sum " << sum << ": alpha " << int { out[4 * p + 3] } << ", table "
                           << int { table.alpha[static_cast<std::size_t>(sum)] };
                }
            }
        }
    }
}

} // namespace
