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
            glowRow(
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
