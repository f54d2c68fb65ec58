// 64 pixels of 3 interleaved bytes (192 bytes, three 64-byte registers) taken apart into one
// register per channel, and put back, with AVX-512 byte permutes: two permutes per register
// either way. Effects that mix a pixel's channels work on the three planes in between.
#pragma once

#include <cstdint>

#include "byte_table.h"

#ifdef OSKEL_BYTE_PERMUTES
namespace oskel_plugins {

struct ChannelPermutes {
    // Taking apart, for each channel: the byte of the first two registers for each pixel,
    // and, for the pixels whose byte is in the third register, its byte there.
    alignas(64) std::uint8_t fromFirstTwo[3][64];
    alignas(64) std::uint8_t fromThird[3][64];
    std::uint64_t inThird[3];
    // Putting back, for each register: each byte's pixel in the blue or green plane (green
    // 64 on), and which bytes come from the red plane.
    alignas(64) std::uint8_t fromBlueGreen[3][64];
    alignas(64) std::uint8_t fromRed[3][64];
    std::uint64_t ofRed[3];
};

constexpr ChannelPermutes makeChannelPermutes()
{
    ChannelPermutes made {};
    for (int channel = 0; channel < 3; ++channel) {
        for (int pixel = 0; pixel < 64; ++pixel) {
            const int byte = pixel * 3 + channel;
            made.fromFirstTwo[channel][pixel] = static_cast<std::uint8_t>(byte & 127);
            made.fromThird[channel][pixel] = static_cast<std::uint8_t>(byte & 63);
            if (byte >= 128) {
                made.inThird[channel] |= std::uint64_t { 1 } << pixel;
            }
        }
    }
    for (int byte = 0; byte < 192; ++byte) {
        const int part = byte / 64;
        const int at = byte % 64;
        const int pixel = byte / 3;
        const int channel = byte % 3;
        made.fromBlueGreen[part][at] = static_cast<std::uint8_t>(pixel + (channel == 1 ? 64 : 0));
        made.fromRed[part][at] = static_cast<std::uint8_t>(pixel);
        if (channel == 2) {
            made.ofRed[part] |= std::uint64_t { 1 } << at;
        }
    }
    return made;
}

inline constexpr ChannelPermutes kChannelPermutes = makeChannelPermutes();

// One register per channel: blue, green, red.
struct Planes {
    __m512i channel[3];
};

OSKEL_BYTE_PERMUTE_TARGET inline __m512i indices(const std::uint8_t (&bytes)[64])
{
    return _mm512_load_si512(bytes);
}

// The three channel planes of 64 pixels at `p`.
OSKEL_BYTE_PERMUTE_TARGET inline Planes takeApart(const std::uint8_t* p)
{
    const __m512i first = _mm512_loadu_si512(p);
    const __m512i second = _mm512_loadu_si512(p + 64);
    const __m512i third = _mm512_loadu_si512(p + 128);
    const ChannelPermutes& k = kChannelPermutes;
    Planes planes;
    for (int c = 0; c < 3; ++c) {
        const __m512i two = _mm512_permutex2var_epi8(first, indices(k.fromFirstTwo[c]), second);
        planes.channel[c]
            = _mm512_mask_permutexvar_epi8(two, k.inThird[c], indices(k.fromThird[c]), third);
    }
    return planes;
}

OSKEL_BYTE_PERMUTE_TARGET inline void putBack(std::uint8_t* p, const Planes& planes)
{
    const ChannelPermutes& k = kChannelPermutes;
    for (int part = 0; part < 3; ++part) {
        const __m512i two = _mm512_permutex2var_epi8(
            planes.channel[0], indices(k.fromBlueGreen[part]), planes.channel[1]);
        const __m512i all = _mm512_mask_permutexvar_epi8(
            two, k.ofRed[part], indices(k.fromRed[part]), planes.channel[2]);
        _mm512_storeu_si512(p + part * 64, all);
    }
}

// 64 bytes, one for each pixel, spread to the three bytes of their pixels: part 0, 1 or 2
// of the 192 bytes.
OSKEL_BYTE_PERMUTE_TARGET inline __m512i spreadToPixels(__m512i perPixel, int part)
{
    // (The zero-masked form: GCC 12's header for the plain one reads an undefined register.)
    return _mm512_maskz_permutexvar_epi8(
        ~std::uint64_t { 0 }, indices(kChannelPermutes.fromRed[part]), perPixel);
}

// The grey of 32 pixels in 16-bit lanes, (29 b + 150 g + 77 r) / 256: the sum fits an
// unsigned lane.
OSKEL_BYTE_PERMUTE_TARGET inline __m512i greyLanes(__m512i blue, __m512i green, __m512i red)
{
    const __m512i weighted
        = _mm512_add_epi16(_mm512_add_epi16(_mm512_mullo_epi16(blue, _mm512_set1_epi16(29)),
                               _mm512_mullo_epi16(green, _mm512_set1_epi16(150))),
            _mm512_mullo_epi16(red, _mm512_set1_epi16(77)));
    return _mm512_srli_epi16(weighted, 8);
}

// The grey bytes of 64 pixels.
OSKEL_BYTE_PERMUTE_TARGET inline __m512i greyBytes(const Planes& planes)
{
    const __m512i zero = _mm512_setzero_si512();
    const __m512i* c = planes.channel;
    const __m512i low = greyLanes(_mm512_unpacklo_epi8(c[0], zero),
        _mm512_unpacklo_epi8(c[1], zero), _mm512_unpacklo_epi8(c[2], zero));
    const __m512i high = greyLanes(_mm512_unpackhi_epi8(c[0], zero),
        _mm512_unpackhi_epi8(c[1], zero), _mm512_unpackhi_epi8(c[2], zero));
    return _mm512_packus_epi16(low, high);
}

// Each run of 64 pixels at `p` taken apart; `perPlane(__m512i&)` on each channel plane; each
// half of the pixels widened to 16-bit lanes for `perHalf(__m512i (&)[3])`; and put back.
// Returns the pixels done: all but the last few. Both are objects whose call operators carry
// OSKEL_BYTE_PERMUTE_TARGET, so that they are built for the same instructions.
template <typename PerPlane, typename PerHalf>
OSKEL_BYTE_PERMUTE_TARGET std::size_t eachSixtyFourPixels(
    std::uint8_t* p, std::size_t pixels, const PerPlane& perPlane, const PerHalf& perHalf)
{
    const __m512i zero = _mm512_setzero_si512();
    std::size_t done = 0;
    for (; done + 64 <= pixels; done += 64) {
        Planes planes = takeApart(p + done * 3);
        __m512i low[3];
        __m512i high[3];
        for (int c = 0; c < 3; ++c) {
            perPlane(planes.channel[c]);
            low[c] = _mm512_unpacklo_epi8(planes.channel[c], zero);
            high[c] = _mm512_unpackhi_epi8(planes.channel[c], zero);
        }
        perHalf(low);
        perHalf(high);
        for (int c = 0; c < 3; ++c) {
            planes.channel[c] = _mm512_packus_epi16(low[c], high[c]);
        }
        putBack(p + done * 3, planes);
    }
    return done;
}

struct LeavePlanes {
    OSKEL_BYTE_PERMUTE_TARGET void operator()(__m512i&) const { }
};

} // namespace oskel_plugins
#endif
