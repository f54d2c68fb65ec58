#include "render/pixel_rows.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

// The loops below are plain per-pixel code, kept simple so that the compiler vectorises them
// (pixel_rows.cpp is built with the dynamic vectoriser cost model, see CMakeLists.txt). The
// three-byte pixels need byte shuffles that the x86-64 baseline lacks, so on x86-64 each
// routine is also built for the v2 (SSSE3..SSE4.2) and v3 (AVX2) levels and the loader picks
// the best one the processor has.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define OSKEL_ROW_ROUTINE \
    __attribute__((target_clones("arch=x86-64-v3", "arch=x86-64-v2", "default")))
#elif defined(__x86_64__) && defined(__clang__)
#define OSKEL_ROW_ROUTINE __attribute__((target_clones("avx2", "sse4.2", "default")))
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
OSKEL_INLINE_LOOP void swapPixels(const Byte* OSKEL_RESTRICT in, Byte* OSKEL_RESTRICT out,
                                  std::size_t count)
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
                                       const Byte* OSKEL_RESTRICT alpha,
                                       Byte* OSKEL_RESTRICT bgra, std::size_t count)
{
    for (std::size_t p = 0; p < count; ++p) {
        bgra[4 * p] = bgr[3 * p];
        bgra[4 * p + 1] = bgr[3 * p + 1];
        bgra[4 * p + 2] = bgr[3 * p + 2];
        bgra[4 * p + 3] = alpha[p];
    }
}

OSKEL_INLINE_LOOP void lumaSums(const Byte* OSKEL_RESTRICT bgr,
                                std::uint16_t* OSKEL_RESTRICT sums, std::size_t count)
{
    for (std::size_t p = 0; p < count; ++p) {
        sums[p] = static_cast<std::uint16_t>(bgr[3 * p] + bgr[3 * p + 1] + bgr[3 * p + 2]);
    }
}

// The luma key works through a stack block of this many pixels: the sums and the moving of
// bytes are vector work, only the table lookups between them are done one by one.
constexpr std::size_t kLumaBlock = 128;

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
void lumaAlphaRow(const std::uint8_t* bgr, std::uint8_t* bgra, int pixels,
                  const LumaTable& table)
{
    const std::size_t count = pixelCount(pixels);
    const Byte* const alphaOfSum = table.alpha.data();
    std::uint16_t sums[kLumaBlock];
    Byte alpha[kLumaBlock];
    for (std::size_t start = 0; start < count; start += kLumaBlock) {
        const std::size_t block = std::min(kLumaBlock, count - start);
        const Byte* const in = bgr + 3 * start;
        lumaSums(in, sums, block);
        for (std::size_t p = 0; p < block; ++p) {
            alpha[p] = alphaOfSum[sums[p]]; // sums are at most 765 of the 768 entries
        }
        interleaveAlpha(in, alpha, bgra + 4 * start, block);
    }
}

OSKEL_ROW_ROUTINE
void stencilAlphaRow(const std::uint8_t* bgr, const std::uint8_t* mask, std::uint8_t* bgra,
                     int pixels)
{
    interleaveAlpha(bgr, mask, bgra, pixelCount(pixels));
}

OSKEL_ROW_ROUTINE
void lumaTimesStencilRow(const std::uint8_t* bgra, const std::uint8_t* mask, std::uint8_t* out,
                         int pixels, const ProductTable& product)
{
    const std::size_t count = pixelCount(pixels);
    if (count == 0) {
        return;
    }
    if (out != bgra) {
        std::memcpy(out, bgra, count * 4);
    }
    const Byte* const products = product.data();
    for (std::size_t p = 0; p < count; ++p) {
        out[4 * p + 3] = products[std::size_t { bgra[4 * p + 3] } * 256 + mask[p]];
    }
}

} // namespace oskel
