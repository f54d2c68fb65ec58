// Edge glow: the edges of the picture (a Sobel gradient of its brightness) added back over
// it as light. "Glow" is the gain (up to 4 times the gradient), "Threshold" the gradient
// below which nothing glows.
#include <vector>

#include "channel_planes.h"
#include "plugin_base.h"

namespace {

// The brightness of a row, (29 b + 150 g + 77 r) / 256 as in the other effects.
OSKEL_ROW_LOOP void brightness(
    std::uint8_t* __restrict luma, const std::uint8_t* __restrict row, std::size_t pixels)
{
    for (std::size_t x = 0; x < pixels; ++x) {
        luma[x] = static_cast<std::uint8_t>(
            (row[x * 3] * 29 + row[x * 3 + 1] * 150 + row[x * 3 + 2] * 77) >> 8);
    }
}

// The glow of a row from the brightness rows below, at and above it (each padded with one
// pixel either side): half |gx| + |gy| of the Sobel kernels, less the threshold, times the
// gain in 1/16; every step fits a 16-bit lane.
OSKEL_ROW_LOOP void glowRow(std::uint8_t* __restrict glow, const std::uint8_t* __restrict below,
    const std::uint8_t* __restrict at, const std::uint8_t* __restrict above, std::size_t pixels,
    std::int16_t threshold, std::int16_t gain)
{
    for (std::size_t x = 0; x < pixels; ++x) {
        const auto gx = static_cast<std::int16_t>(
            below[x + 2] + 2 * at[x + 2] + above[x + 2] - below[x] - 2 * at[x] - above[x]);
        const auto gy = static_cast<std::int16_t>(above[x] + 2 * above[x + 1] + above[x + 2]
            - below[x] - 2 * below[x + 1] - below[x + 2]);
        const auto size = static_cast<std::int16_t>(
            ((gx < 0 ? -gx : gx) >> 1) + ((gy < 0 ? -gy : gy) >> 1) - threshold);
        const auto lit = static_cast<std::int16_t>(size < 0 ? 0 : (size > 255 ? 255 : size));
        const auto light = static_cast<std::int16_t>((lit * gain) >> 4);
        glow[x] = static_cast<std::uint8_t>(light > 255 ? 255 : light);
    }
}

// Each pixel's glow for each of its three bytes.
OSKEL_ROW_LOOP void spread(
    std::uint8_t* __restrict bytes, const std::uint8_t* __restrict glow, std::size_t pixels)
{
    for (std::size_t x = 0; x < pixels; ++x) {
        bytes[x * 3] = glow[x];
        bytes[x * 3 + 1] = glow[x];
        bytes[x * 3 + 2] = glow[x];
    }
}

// The glow added to the row byte by byte, clamped.
OSKEL_ROW_LOOP void addGlow(
    std::uint8_t* __restrict row, const std::uint8_t* __restrict glow, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const auto sum = static_cast<std::uint16_t>(row[i] + glow[i]);
        row[i] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
    }
}

#ifdef OSKEL_BYTE_PERMUTES
// Sixty-four pixels at a time on processors with AVX-512 byte permutes; each returns the
// pixels done, all but the last few.
OSKEL_BYTE_PERMUTE_TARGET std::size_t brightness64(
    std::uint8_t* luma, const std::uint8_t* row, std::size_t pixels)
{
    std::size_t done = 0;
    for (; done + 64 <= pixels; done += 64) {
        const __m512i grey = oskel_plugins::greyBytes(oskel_plugins::takeApart(row + done * 3));
        _mm512_storeu_si512(luma + done, grey);
    }
    return done;
}

OSKEL_BYTE_PERMUTE_TARGET std::size_t addGlow64(
    std::uint8_t* row, const std::uint8_t* glow, std::size_t pixels)
{
    std::size_t done = 0;
    for (; done + 64 <= pixels; done += 64) {
        const __m512i perPixel = _mm512_loadu_si512(glow + done);
        for (int part = 0; part < 3; ++part) {
            std::uint8_t* bytes = row + done * 3 + part * 64;
            const __m512i lit = _mm512_adds_epu8(
                _mm512_loadu_si512(bytes), oskel_plugins::spreadToPixels(perPixel, part));
            _mm512_storeu_si512(bytes, lit);
        }
    }
    return done;
}
#endif

// 32 bytes from `at`, in 16-bit lanes.
OSKEL_BYTE_PERMUTE_TARGET inline __m512i widened(const std::uint8_t* at)
{
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)));
}

// glowRow's sums 32 pixels at a time, for all but the last few pixels (returned).
OSKEL_BYTE_PERMUTE_TARGET std::size_t glowRow32(std::uint8_t* glow, const std::uint8_t* below,
    const std::uint8_t* at, const std::uint8_t* above, std::size_t pixels, std::int16_t threshold,
    std::int16_t gain)
{
    const __m512i limit = _mm512_set1_epi16(threshold);
    const __m512i factor = _mm512_set1_epi16(gain);
    const __m512i full = _mm512_set1_epi16(255);
    const __m512i zero = _mm512_setzero_si512();
    std::size_t x = 0;
    for (; x + 32 <= pixels; x += 32) {
        const __m512i b0 = widened(below + x);
        const __m512i b1 = widened(below + x + 1);
        const __m512i b2 = widened(below + x + 2);
        const __m512i u0 = widened(above + x);
        const __m512i u1 = widened(above + x + 1);
        const __m512i u2 = widened(above + x + 2);
        const __m512i a0 = widened(at + x);
        const __m512i a2 = widened(at + x + 2);
        const __m512i right = _mm512_add_epi16(_mm512_add_epi16(b2, u2), _mm512_slli_epi16(a2, 1));
        const __m512i left = _mm512_add_epi16(_mm512_add_epi16(b0, u0), _mm512_slli_epi16(a0, 1));
        const __m512i top = _mm512_add_epi16(_mm512_add_epi16(u0, u2), _mm512_slli_epi16(u1, 1));
        const __m512i bottom = _mm512_add_epi16(_mm512_add_epi16(b0, b2), _mm512_slli_epi16(b1, 1));
        const __m512i gx = _mm512_srli_epi16(_mm512_abs_epi16(_mm512_sub_epi16(right, left)), 1);
        const __m512i gy = _mm512_srli_epi16(_mm512_abs_epi16(_mm512_sub_epi16(top, bottom)), 1);
        const __m512i size = _mm512_sub_epi16(_mm512_add_epi16(gx, gy), limit);
        const __m512i lit = _mm512_min_epi16(_mm512_max_epi16(size, zero), full);
        const __m512i light = _mm512_srli_epi16(_mm512_mullo_epi16(lit, factor), 4);
        // (The zero-masked narrowing: GCC 12's header for the plain one reads an undefined
        // register.) Lanes above 255 narrow with saturation to 255.
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(glow + x),
            _mm512_maskz_cvtusepi16_epi8(~__mmask32 { 0 }, light));
    }
    return x;
}

// A row's brightness, and the glow added to a row, the fastest way this processor has.
void rowBrightness(std::uint8_t* luma, const std::uint8_t* row, std::size_t pixels)
{
    std::size_t done = 0;
#ifdef OSKEL_BYTE_PERMUTES
    if (oskel_plugins::byteTablesAreFast()) {
        done = brightness64(luma, row, pixels);
    }
#endif
    brightness(luma + done, row + done * 3, pixels - done);
}

void rowGlow(std::uint8_t* glow, const std::uint8_t* below, const std::uint8_t* at,
    const std::uint8_t* above, std::size_t pixels, std::int16_t threshold, std::int16_t gain)
{
    std::size_t done = 0;
#ifdef OSKEL_BYTE_PERMUTES
    if (oskel_plugins::byteTablesAreFast()) {
        done = glowRow32(glow, below, at, above, pixels, threshold, gain);
    }
#endif
    glowRow(glow + done, below + done, at + done, above + done, pixels - done, threshold, gain);
}

void addRowGlow(
    std::uint8_t* row, const std::uint8_t* glow, std::uint8_t* glowBytes, std::size_t pixels)
{
    std::size_t done = 0;
#ifdef OSKEL_BYTE_PERMUTES
    if (oskel_plugins::byteTablesAreFast()) {
        done = addGlow64(row, glow, pixels);
    }
#endif
    spread(glowBytes, glow + done, pixels - done);
    addGlow(row + done * 3, glowBytes, (pixels - done) * 3);
}

struct EdgeGlow {
    static constexpr const char* kId = "OKeg";
    static constexpr const char* kName = "Edge Glow";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Glow", 0.5f },
        oskel_plugins::Parameter { "Threshold", 0.1f } };

    EdgeGlow(int w, int h)
        : width(static_cast<std::size_t>(w))
        , height(static_cast<std::size_t>(h))
        , padded(width + 2)
        , luma(padded * (height + 2))
        , glow(width)
        , glowBytes(width * 3)
    {
    }

    // Row `y` of the padded brightness, -1 to height.
    std::uint8_t* lumaRow(std::size_t paddedRow) { return luma.data() + paddedRow * padded; }

    void process(std::uint8_t* frame, const float* values)
    {
        const auto gain = static_cast<std::int16_t>(oskel_plugins::scaled(values[0], 64));
        const auto threshold = static_cast<std::int16_t>(oskel_plugins::scaled(values[1], 255));
        if (gain == 0) {
            return;
        }
        const std::size_t stride = width * 3;
        // The brightness with its edge pixels and rows repeated, so the gradient needs no
        // bounds.
        for (std::size_t y = 0; y < height; ++y) {
            std::uint8_t* row = lumaRow(y + 1);
            rowBrightness(row + 1, frame + y * stride, width);
            row[0] = row[1];
            row[width + 1] = row[width];
        }
        std::memcpy(lumaRow(0), lumaRow(1), padded);
        std::memcpy(lumaRow(height + 1), lumaRow(height), padded);
        for (std::size_t y = 0; y < height; ++y) {
            rowGlow(
                glow.data(), lumaRow(y), lumaRow(y + 1), lumaRow(y + 2), width, threshold, gain);
            addRowGlow(frame + y * stride, glow.data(), glowBytes.data(), width);
        }
    }

    std::size_t width;
    std::size_t height;
    std::size_t padded;
    std::vector<std::uint8_t> luma;
    std::vector<std::uint8_t> glow;
    std::vector<std::uint8_t> glowBytes;
};

} // namespace

OSKEL_PLUGIN(EdgeGlow)
