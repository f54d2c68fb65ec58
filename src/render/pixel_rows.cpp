#include "render/pixel_rows.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

// The loops below are plain per-pixel code, kept simple so that the compiler vectorises them
// (pixel_rows.cpp is built with the dynamic vectoriser cost model, see CMakeLists.txt). The
// three-byte pixels need byte shuffles (SSSE3) that the x86-64 baseline lacks, so with GCC on
// x86-64 each routine is also built for the v2 level (SSSE3..SSE4.2), which the loader picks
// when the processor has it. An AVX2 build was measured slower on the three-byte rows: its
// shuffles cannot cross the two halves of a register. Clang names such functions differently
// for callers that do not see the attribute, so it builds the baseline only.
// The thread sanitizer cannot run the loader's choice (it runs before the sanitizer is set up),
// so its builds take the baseline too. OSKEL_NO_ROW_CLONES builds for the compiler's own
// target only, to test a level set by -march.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)                                \
    && !defined(__SANITIZE_THREAD__) && !defined(OSKEL_NO_ROW_CLONES)
#define OSKEL_ROW_ROUTINE __attribute__((target_clones("arch=x86-64-v2", "default")))
#else
#define OSKEL_ROW_ROUTINE
#endif

#if defined(__GNUC__) || defined(__clang__)
#define OSKEL_INLINE_LOOP [[gnu::always_inline]] inline
#define OSKEL_RESTRICT __restrict__
#else
#define OSKEL_INLINE_LOOP inline
#define OSKEL_RESTRICT
#endif

namespace oskel {

namespace {

using Byte = std::uint8_t;

std::size_t pixelCount(int pixels)
{
    return pixels > 0 ? static_cast<std::size_t>(pixels) : 0;
}

// Mode 1 exchanges red and green, 2 red and blue, 3 blue and green.
template <int Mode>
OSKEL_INLINE_LOOP void swapPixels(
    const Byte* OSKEL_RESTRICT in, Byte* OSKEL_RESTRICT out, std::size_t count)
{
    for (std::size_t p = 0; p < count; ++p) {
        const Byte b = in[3 * p];
        const Byte g = in[3 * p + 1];
        const Byte r = in[3 * p + 2];
        if constexpr (Mode == 1) {
            out[3 * p] = b;
            out[3 * p + 1] = r;
            out[3 * p + 2] = g;
        } else if constexpr (Mode == 2) {
            out[3 * p] = r;
            out[3 * p + 1] = g;
            out[3 * p + 2] = b;
        } else {
            out[3 * p] = g;
            out[3 * p + 1] = b;
            out[3 * p + 2] = r;
        }
    }
}

// (b, g, r) and one alpha byte per pixel become (b, g, r, alpha).
OSKEL_INLINE_LOOP void interleaveAlpha(const Byte* OSKEL_RESTRICT bgr,
    const Byte* OSKEL_RESTRICT alpha, Byte* OSKEL_RESTRICT bgra, std::size_t count)
{
    for (std::size_t p = 0; p < count; ++p) {
        bgra[4 * p] = bgr[3 * p];
        bgra[4 * p + 1] = bgr[3 * p + 1];
        bgra[4 * p + 2] = bgr[3 * p + 2];
        bgra[4 * p + 3] = alpha[p];
    }
}

OSKEL_INLINE_LOOP void lumaSums(
    const Byte* OSKEL_RESTRICT bgr, std::uint16_t* OSKEL_RESTRICT sums, std::size_t count)
{
    for (std::size_t p = 0; p < count; ++p) {
        sums[p] = static_cast<std::uint16_t>(bgr[3 * p] + bgr[3 * p + 1] + bgr[3 * p + 2]);
    }
}

// Product table indices, alpha x 256 + mask byte, of BGRA pixels.
OSKEL_INLINE_LOOP void productIndices(const Byte* OSKEL_RESTRICT bgra,
    const Byte* OSKEL_RESTRICT mask, std::uint16_t* OSKEL_RESTRICT indices, std::size_t count)
{
    for (std::size_t p = 0; p < count; ++p) {
        indices[p] = static_cast<std::uint16_t>(bgra[4 * p + 3] << 8 | mask[p]);
    }
}

// (b, g, r, any) and one alpha byte per pixel become (b, g, r, alpha). Whole pixels as
// little-endian words: the vector code then needs no byte shuffles.
static_assert(std::endian::native == std::endian::little, "pixels are read as little-endian words");
OSKEL_INLINE_LOOP void replaceAlpha(const Byte* OSKEL_RESTRICT bgra,
    const Byte* OSKEL_RESTRICT alpha, Byte* OSKEL_RESTRICT out, std::size_t count)
{
    for (std::size_t p = 0; p < count; ++p) {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, bgra + 4 * p, 4);
        pixel = (pixel & 0x00FFFFFFu) | std::uint32_t { alpha[p] } << 24;
        std::memcpy(out + 4 * p, &pixel, 4);
    }
}

// The table lookups, the one part that is no vector work. Four results are gathered into one
// word before they are stored: one store instead of four keeps the loop on its loads.
OSKEL_INLINE_LOOP void lookUp(const Byte* OSKEL_RESTRICT table,
    const std::uint16_t* OSKEL_RESTRICT indices, Byte* OSKEL_RESTRICT results, std::size_t count)
{
    std::size_t p = 0;
    for (; p + 4 <= count; p += 4) {
        const Byte four[4] = { table[indices[p]], table[indices[p + 1]], table[indices[p + 2]],
            table[indices[p + 3]] };
        std::memcpy(results + p, four, 4);
    }
    for (; p < count; ++p) {
        results[p] = table[indices[p]];
    }
}

// The table routines work through stack blocks of this many pixels: their indices are worked
// out and their bytes moved by vector code, with the lookups done in between.
constexpr std::size_t kLookupBlock = 256;

} // namespace

OSKEL_ROW_ROUTINE
void copyRowWithColourSwap(const std::uint8_t* bgr, std::uint8_t* out, int pixels, int swapMode)
{
    const std::size_t count = pixelCount(pixels);
    switch (swapMode) {
    case 1:
        swapPixels<1>(bgr, out, count);
        break;
    case 2:
        swapPixels<2>(bgr, out, count);
        break;
    case 3:
        swapPixels<3>(bgr, out, count);
        break;
    default: // 0, and any mode an edited patch may hold: no swap
        if (count > 0) {
            std::memcpy(out, bgr, count * 3);
        }
        break;
    }
}

OSKEL_ROW_ROUTINE
void lumaAlphaRow(const std::uint8_t* bgr, std::uint8_t* bgra, int pixels, const LumaTable& table)
{
    const std::size_t count = pixelCount(pixels);
    std::uint16_t sums[kLookupBlock]; // at most 765: inside the table's 768 entries
    Byte alpha[kLookupBlock];
    for (std::size_t start = 0; start < count; start += kLookupBlock) {
        const std::size_t block = std::min(kLookupBlock, count - start);
        const Byte* const in = bgr + 3 * start;
        lumaSums(in, sums, block);
        lookUp(table.alpha.data(), sums, alpha, block);
        interleaveAlpha(in, alpha, bgra + 4 * start, block);
    }
}

OSKEL_ROW_ROUTINE
void stencilAlphaRow(
    const std::uint8_t* bgr, const std::uint8_t* mask, std::uint8_t* bgra, int pixels)
{
    interleaveAlpha(bgr, mask, bgra, pixelCount(pixels));
}

OSKEL_ROW_ROUTINE
void lumaTimesStencilRow(const std::uint8_t* bgra, const std::uint8_t* mask, std::uint8_t* out,
    int pixels, const ProductTable& product)
{
    const std::size_t count = pixelCount(pixels);
    std::uint16_t indices[kLookupBlock];
    Byte alpha[kLookupBlock];
    for (std::size_t start = 0; start < count; start += kLookupBlock) {
        const std::size_t block = std::min(kLookupBlock, count - start);
        const Byte* const in = bgra + 4 * start;
        productIndices(in, mask + start, indices, block);
        lookUp(product.data(), indices, alpha, block);
        replaceAlpha(in, alpha, out + 4 * start, block);
    }
}

} // namespace oskel
