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
// The luma key of a table built as a ramp is the exception: its alphas are worked out from the
// ramp's levels, sixteen pixels at a time, by SSSE3 / SSE4.1 code written by hand and chosen at
// run time (the compiler's vector code for the arithmetic was no faster than the lookups).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)                                \
    && !defined(__SANITIZE_THREAD__) && !defined(OSKEL_NO_ROW_CLONES)
#define OSKEL_ROW_ROUTINE __attribute__((target_clones("arch=x86-64-v2", "default")))
#else
#define OSKEL_ROW_ROUTINE
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define OSKEL_RAMP_VECTORS 1
#else
#define OSKEL_RAMP_VECTORS 0
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

#if OSKEL_RAMP_VECTORS

bool rampVectorsAvailable()
{
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("sse4.1");
    }();
    return available;
}

#define OSKEL_RAMP_TARGET gnu::target("ssse3,sse4.1")

// A ramp's alpha for each 16-bit lane's sum, before the inverse: with span = max(high - low, 1)
// (a hard key is the ramp from low to low + 1, as no sum lies between) and
// t = min(max(sum - low, 0), span), the alpha is t x 256 / span truncated, 256 read as 255.
// The division is a multiplication: span and t are scaled by f so that span' = span x f is at
// least 5, then with x = 64 t' and M = 2^18 / span' truncated (both below 2^16), x M / 2^16
// falls short of the quotient by t' (2^18 / span' - M) / 2^10 < 767 / 1024, so its integer
// part is the quotient or one less. The remainder 256 t' - q span' tells which: it lies in
// 0 .. 2 span', so 16-bit arithmetic modulo 2^16 gets it exactly.
struct RampLanes {
    __m128i low;
    __m128i span;
    __m128i toX; // 64 f
    __m128i reciprocal; // M
    __m128i scaledSpan; // span'
    __m128i belowScaledSpan; // span' - 1

    explicit RampLanes(const LumaRamp& ramp)
    {
        const int d = std::max(1, ramp.high - ramp.low);
        const int f = (d + 4) / d;
        low = lanes(ramp.low);
        span = lanes(d);
        toX = lanes(64 * f);
        reciprocal = lanes((1 << 18) / (d * f));
        scaledSpan = lanes(d * f);
        belowScaledSpan = lanes(d * f - 1);
    }

    static __m128i lanes(int value) { return _mm_set1_epi16(static_cast<short>(value)); }
};

[[OSKEL_RAMP_TARGET, gnu::always_inline]] inline __m128i rampQuotients(
    const RampLanes& ramp, __m128i sums)
{
    const __m128i t = _mm_min_epu16(_mm_subs_epu16(sums, ramp.low), ramp.span);
    const __m128i x = _mm_mullo_epi16(t, ramp.toX);
    const __m128i q = _mm_mulhi_epu16(x, ramp.reciprocal);
    const __m128i remainder
        = _mm_sub_epi16(_mm_slli_epi16(x, 2), _mm_mullo_epi16(q, ramp.scaledSpan));
    return _mm_sub_epi16(q, _mm_cmpgt_epi16(remainder, ramp.belowScaledSpan));
}

// Sixteen pixels at a time: 48 source bytes become four registers of (b, g, r, 0) pixels, whose
// sums give the alphas that are ORed into their fourth bytes. The last pixels, fewer than
// sixteen, look their alphas up: no read or write goes past the row.
[[OSKEL_RAMP_TARGET]] void rampAlphaRow(
    const Byte* bgr, Byte* bgra, std::size_t count, const LumaTable& table)
{
    const RampLanes ramp(*table.ramp);
    const __m128i flip = _mm_set1_epi8(table.ramp->inverse ? -1 : 0);
    const __m128i widen = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i widenHigh
        = _mm_setr_epi8(4, 5, 6, -1, 7, 8, 9, -1, 10, 11, 12, -1, 13, 14, 15, -1);
    const __m128i weights = _mm_setr_epi8(1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 0);
    // Alpha bytes first .. first + 3 to the fourth byte of each pixel.
    const auto spread = [](char first) {
        const auto next = [first](int step) { return static_cast<char>(first + step); };
        return _mm_setr_epi8(
            -1, -1, -1, first, -1, -1, -1, next(1), -1, -1, -1, next(2), -1, -1, -1, next(3));
    };
    const __m128i spreads[4] = { spread(0), spread(4), spread(8), spread(12) };

    std::size_t p = 0;
    for (; p + 16 <= count; p += 16) {
        const Byte* const in = bgr + 3 * p;
        const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16));
        const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 32));
        const __m128i pixels[4] = { _mm_shuffle_epi8(v0, widen),
            _mm_shuffle_epi8(_mm_alignr_epi8(v1, v0, 12), widen),
            _mm_shuffle_epi8(_mm_alignr_epi8(v2, v1, 8), widen), _mm_shuffle_epi8(v2, widenHigh) };
        // (b + g, r) per pixel, then the pairs added: eight sums a register.
        const __m128i firstSums = _mm_hadd_epi16(
            _mm_maddubs_epi16(pixels[0], weights), _mm_maddubs_epi16(pixels[1], weights));
        const __m128i lastSums = _mm_hadd_epi16(
            _mm_maddubs_epi16(pixels[2], weights), _mm_maddubs_epi16(pixels[3], weights));
        // The saturating pack reads 256 as 255.
        const __m128i alpha = _mm_xor_si128(
            _mm_packus_epi16(rampQuotients(ramp, firstSums), rampQuotients(ramp, lastSums)), flip);
        Byte* const out = bgra + 4 * p;
        for (int i = 0; i < 4; ++i) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * i),
                _mm_or_si128(pixels[i], _mm_shuffle_epi8(alpha, spreads[i])));
        }
    }
    for (; p < count; ++p) {
        const Byte* const in = bgr + 3 * p;
        Byte* const out = bgra + 4 * p;
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = table.alpha[std::size_t { in[0] } + in[1] + in[2]];
    }
}

#endif

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
#if OSKEL_RAMP_VECTORS
    if (table.ramp && rampVectorsAvailable()) {
        rampAlphaRow(bgr, bgra, count, table);
        return;
    }
#endif
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
