// Brightness, contrast and saturation, each neutral at 0.5.
#include "channel_planes.h"
#include "plugin_base.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Brightness and contrast byte by byte: v x contrast / 256 plus an offset, clamped. The
// product is taken as the high half of (v x 256) x contrast, so it stays in 16-bit lanes;
// the sum (-383..893) is a signed 16-bit lane.
OSKEL_ROW_LOOP void brightnessContrast(
    std::uint8_t* __restrict bytes, std::size_t count, std::uint16_t gain, std::int16_t offset)
{
    for (std::size_t i = 0; i < count; ++i) {
        const auto high = static_cast<std::uint16_t>(bytes[i] << 8);
        const auto scaled = static_cast<std::int16_t>((std::uint32_t { high } * gain) >> 16);
        const auto c = static_cast<std::int16_t>(scaled + offset);
        bytes[i] = static_cast<std::uint8_t>(c < 0 ? 0 : (c > 255 ? 255 : c));
    }
}

// Brightness alone (contrast neutral): v plus the offset, clamped.
OSKEL_ROW_LOOP void brighten(std::uint8_t* __restrict bytes, std::size_t count, std::int16_t offset)
{
    for (std::size_t i = 0; i < count; ++i) {
        const auto c = static_cast<std::int16_t>(bytes[i] + offset);
        bytes[i] = static_cast<std::uint8_t>(c < 0 ? 0 : (c > 255 ? 255 : c));
    }
}

// Saturation pixel by pixel: each channel moved from the pixel's grey by saturation / 256.
OSKEL_ROW_LOOP void saturate(std::uint8_t* __restrict p, std::size_t pixels, int saturation)
{
    for (std::size_t i = 0; i < pixels; ++i) {
        const int b = p[i * 3];
        const int g = p[i * 3 + 1];
        const int r = p[i * 3 + 2];
        const int grey = (b * 29 + g * 150 + r * 77) >> 8;
        const int nb = grey + (((b - grey) * saturation) >> 8);
        const int ng = grey + (((g - grey) * saturation) >> 8);
        const int nr = grey + (((r - grey) * saturation) >> 8);
        p[i * 3] = static_cast<std::uint8_t>(nb < 0 ? 0 : (nb > 255 ? 255 : nb));
        p[i * 3 + 1] = static_cast<std::uint8_t>(ng < 0 ? 0 : (ng > 255 ? 255 : ng));
        p[i * 3 + 2] = static_cast<std::uint8_t>(nr < 0 ? 0 : (nr > 255 ? 255 : nr));
    }
}

#if defined(__x86_64__)
// The same sixteen pixels at a time. The three interleaved channels are taken apart and put
// back with byte shuffles; in between every lane is one channel of one pixel, in 16 bits.
// (d x s) >> 8 for s = 256a + t is d x a + (d x t) >> 8, and (d x t) >> 8 is the high half
// of (d x 128) x 2t: every product stays in a 16-bit lane, and the bytes are those above.
namespace sixteen {

// Shuffle masks: for each 16-byte third of 48 bytes, which bytes of it hold `channel`
// (deinterleave), or which byte of a channel goes to each byte of it (interleave).
struct Masks {
    alignas(16) std::int8_t take[3][3][16]; // [channel][third]
    alignas(16) std::int8_t put[3][3][16]; // [third][channel]
};

constexpr Masks makeMasks()
{
    Masks masks {};
    for (int channel = 0; channel < 3; ++channel) {
        for (int third = 0; third < 3; ++third) {
            for (int i = 0; i < 16; ++i) {
                masks.take[channel][third][i] = -1;
                masks.put[third][channel][i] = -1;
            }
        }
    }
    for (int byte = 0; byte < 48; ++byte) {
        const int pixel = byte / 3;
        const int channel = byte % 3;
        masks.take[channel][byte / 16][pixel] = static_cast<std::int8_t>(byte % 16);
        masks.put[byte / 16][channel][byte % 16] = static_cast<std::int8_t>(pixel);
    }
    return masks;
}

constexpr Masks kMasks = makeMasks();

__attribute__((target("ssse3"))) inline __m128i mask(const std::int8_t (&bytes)[16])
{
    return _mm_load_si128(reinterpret_cast<const __m128i*>(bytes));
}

__attribute__((target("ssse3"))) inline __m128i gather(const __m128i (&thirds)[3], int channel)
{
    __m128i out = _mm_shuffle_epi8(thirds[0], mask(kMasks.take[channel][0]));
    out = _mm_or_si128(out, _mm_shuffle_epi8(thirds[1], mask(kMasks.take[channel][1])));
    return _mm_or_si128(out, _mm_shuffle_epi8(thirds[2], mask(kMasks.take[channel][2])));
}

__attribute__((target("ssse3"))) inline __m128i scatter(const __m128i (&channels)[3], int third)
{
    __m128i out = _mm_shuffle_epi8(channels[0], mask(kMasks.put[third][0]));
    out = _mm_or_si128(out, _mm_shuffle_epi8(channels[1], mask(kMasks.put[third][1])));
    return _mm_or_si128(out, _mm_shuffle_epi8(channels[2], mask(kMasks.put[third][2])));
}

struct Factors {
    __m128i whole; // a
    __m128i fraction; // 2t
};

// Eight lanes of one channel moved from their grey.
__attribute__((target("ssse3"))) inline __m128i moved(__m128i value, __m128i grey, Factors f)
{
    const __m128i d = _mm_sub_epi16(value, grey);
    const __m128i part = _mm_mulhi_epi16(_mm_slli_epi16(d, 7), f.fraction);
    return _mm_add_epi16(_mm_add_epi16(grey, _mm_mullo_epi16(d, f.whole)), part);
}

// One half (eight pixels) of the three channels, widened, saturated, as 16-bit lanes.
__attribute__((target("ssse3"))) inline void saturateHalf(__m128i (&wide)[3], Factors f)
{
    const __m128i grey
        = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(wide[0], _mm_set1_epi16(29)),
                                           _mm_mullo_epi16(wide[1], _mm_set1_epi16(150))),
                             _mm_mullo_epi16(wide[2], _mm_set1_epi16(77))),
            8);
    for (__m128i& channel : wide) {
        channel = moved(channel, grey, f);
    }
}

__attribute__((target("ssse3"))) std::size_t saturate(
    std::uint8_t* p, std::size_t pixels, int saturation)
{
    const Factors factors { _mm_set1_epi16(static_cast<std::int16_t>(saturation >> 8)),
        _mm_set1_epi16(static_cast<std::int16_t>((saturation & 255) << 1)) };
    const __m128i zero = _mm_setzero_si128();
    std::size_t done = 0;
    for (; done + 16 <= pixels; done += 16) {
        auto* bytes = reinterpret_cast<__m128i*>(p + done * 3);
        const __m128i thirds[3]
            = { _mm_loadu_si128(bytes), _mm_loadu_si128(bytes + 1), _mm_loadu_si128(bytes + 2) };
        __m128i low[3];
        __m128i high[3];
        for (int channel = 0; channel < 3; ++channel) {
            const __m128i bytesOfChannel = gather(thirds, channel);
            low[channel] = _mm_unpacklo_epi8(bytesOfChannel, zero);
            high[channel] = _mm_unpackhi_epi8(bytesOfChannel, zero);
        }
        saturateHalf(low, factors);
        saturateHalf(high, factors);
        __m128i channels[3];
        for (int channel = 0; channel < 3; ++channel) {
            channels[channel] = _mm_packus_epi16(low[channel], high[channel]);
        }
        for (int third = 0; third < 3; ++third) {
            _mm_storeu_si128(bytes + third, scatter(channels, third));
        }
    }
    return done;
}

} // namespace sixteen
#endif

#ifdef OSKEL_BYTE_PERMUTES
// Sixty-four pixels at a time, on processors with AVX-512 byte permutes, with the brightness
// and contrast table looked up on the way. (d x s) >> 8 is the high half of (d x 64) x 4s,
// both of which fit 16-bit lanes.
namespace sixtyFour {

OSKEL_BYTE_PERMUTE_TARGET inline __m512i moved(__m512i value, __m512i grey, __m512i fourTimes)
{
    const __m512i d = _mm512_slli_epi16(_mm512_sub_epi16(value, grey), 6);
    return _mm512_add_epi16(grey, _mm512_mulhi_epi16(d, fourTimes));
}

struct Saturate {
    __m512i fourTimes;
    OSKEL_BYTE_PERMUTE_TARGET void operator()(__m512i (&lanes)[3]) const
    {
        const __m512i grey = oskel_plugins::greyLanes(lanes[0], lanes[1], lanes[2]);
        for (__m512i& channel : lanes) {
            channel = moved(channel, grey, fourTimes);
        }
    }
};

struct LookUp {
    oskel_plugins::TableRegisters table;
    OSKEL_BYTE_PERMUTE_TARGET void operator()(__m512i& plane) const
    {
        plane = oskel_plugins::lookUp(plane, table);
    }
};

// Returns the pixels done: all but the last few.
OSKEL_BYTE_PERMUTE_TARGET std::size_t saturate(
    std::uint8_t* p, std::size_t pixels, int saturation, const oskel_plugins::ByteTable* table)
{
    const Saturate saturate { _mm512_set1_epi16(static_cast<std::int16_t>(saturation * 4)) };
    if (table == nullptr) {
        return oskel_plugins::eachSixtyFourPixels(
            p, pixels, oskel_plugins::LeavePlanes {}, saturate);
    }
    return oskel_plugins::eachSixtyFourPixels(
        p, pixels, LookUp { oskel_plugins::loadTable(*table) }, saturate);
}

} // namespace sixtyFour
#endif

void saturateFrame(std::uint8_t* p, std::size_t pixels, int saturation)
{
    std::size_t done = 0;
#if defined(__x86_64__)
    if (__builtin_cpu_supports("ssse3")) {
        done = sixteen::saturate(p, pixels, saturation);
    }
#endif
    saturate(p + done * 3, pixels - done, saturation);
}

struct Colour {
    static constexpr const char* kId = "OKbc";
    static constexpr const char* kName = "Bright/Contrast";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Brightness", 0.5f },
        oskel_plugins::Parameter { "Contrast", 0.5f },
        oskel_plugins::Parameter { "Saturation", 0.5f } };

    Colour(int width, int height)
        : pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    {
    }

    void process(std::uint8_t* frame, const float* values) const
    {
        // Brightness -255..255, contrast and saturation 0..2 in 1/256 steps.
        const int brightness = oskel_plugins::scaled(values[0], 510) - 255;
        const int contrast = oskel_plugins::scaled(values[1], 512);
        const int saturation = oskel_plugins::scaled(values[2], 512);
        const auto offset = static_cast<std::int16_t>(128 + brightness - ((128 * contrast) >> 8));
        const auto gain = static_cast<std::uint16_t>(contrast);
        const bool adjusts = gain != 256 || offset != 0;
        const auto adjust = [gain, offset](std::uint8_t* bytes, std::size_t count) {
            if (gain != 256) {
                brightnessContrast(bytes, count, gain, offset);
            } else if (offset != 0) {
                brighten(bytes, count, offset);
            }
        };
        if (saturation == 256) {
            if (adjusts) {
                oskel_plugins::runByteByByte(frame, pixels * 3, adjust);
            }
            return;
        }
#ifdef OSKEL_BYTE_PERMUTES
        if (oskel_plugins::byteTablesAreFast()) {
            const oskel_plugins::ByteTable table = oskel_plugins::tableOf(adjust);
            const std::size_t done
                = sixtyFour::saturate(frame, pixels, saturation, adjusts ? &table : nullptr);
            adjust(frame + done * 3, (pixels - done) * 3);
            saturate(frame + done * 3, pixels - done, saturation);
            return;
        }
#endif
        adjust(frame, pixels * 3);
        saturateFrame(frame, pixels, saturation);
    }

    std::size_t pixels;
};

} // namespace

OSKEL_PLUGIN(Colour)
