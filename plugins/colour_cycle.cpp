// Colour cycle: the hues of the picture turned about the grey axis, by "Hue" plus an angle
// that moves on by "Speed" (up to a tenth of a turn) with every frame processed. It counts
// frames, not time, so a render made offline turns exactly as often as the frames it makes.
#include <cmath>
#include <numbers>

#include "channel_planes.h"
#include "plugin_base.h"

namespace {

constexpr int kSteps = 3600; // angles are kept in 1/3600 turns
constexpr int kMaxStepsPerFrame = kSteps / 10;

// A pixel's channels through the turn's matrix (in 1/256), rounded and clamped.
OSKEL_ROW_LOOP void turnHues(
    std::uint8_t* __restrict p, std::size_t pixels, const std::array<std::int32_t, 9>& matrix)
{
    const std::int32_t m0 = matrix[0], m1 = matrix[1], m2 = matrix[2];
    const std::int32_t m3 = matrix[3], m4 = matrix[4], m5 = matrix[5];
    const std::int32_t m6 = matrix[6], m7 = matrix[7], m8 = matrix[8];
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::int32_t b = p[i * 3];
        const std::int32_t g = p[i * 3 + 1];
        const std::int32_t r = p[i * 3 + 2];
        const std::int32_t nb = (m0 * b + m1 * g + m2 * r + 128) >> 8;
        const std::int32_t ng = (m3 * b + m4 * g + m5 * r + 128) >> 8;
        const std::int32_t nr = (m6 * b + m7 * g + m8 * r + 128) >> 8;
        p[i * 3] = static_cast<std::uint8_t>(nb < 0 ? 0 : (nb > 255 ? 255 : nb));
        p[i * 3 + 1] = static_cast<std::uint8_t>(ng < 0 ? 0 : (ng > 255 ? 255 : ng));
        p[i * 3 + 2] = static_cast<std::uint8_t>(nr < 0 ? 0 : (nr > 255 ? 255 : nr));
    }
}

#ifdef OSKEL_BYTE_PERMUTES
// Sixty-four pixels at a time on processors with AVX-512 byte permutes: each new channel is
// two multiply-adds of 16-bit pairs, (blue, green) by its first two factors and (red, 1) by
// its third and the rounding 128, in 32-bit lanes.
namespace sixtyFour {

struct Factors {
    __m512i blueGreen[3]; // per new channel
    __m512i redOne[3];
};

OSKEL_BYTE_PERMUTE_TARGET inline __m512i pairOf(std::int32_t first, std::int32_t second)
{
    return _mm512_set1_epi32(static_cast<std::int32_t>(
        (static_cast<std::uint32_t>(second) << 16) | (static_cast<std::uint32_t>(first) & 0xffff)));
}

// One new channel of 32 pixels, whose (blue, green) and (red, 1) pairs come in two halves.
OSKEL_BYTE_PERMUTE_TARGET inline __m512i newChannel(const __m512i (&blueGreen)[2],
    const __m512i (&redOne)[2], __m512i blueGreenFactors, __m512i redOneFactors)
{
    __m512i halves[2];
    for (int h = 0; h < 2; ++h) {
        const __m512i sum = _mm512_add_epi32(_mm512_madd_epi16(blueGreen[h], blueGreenFactors),
            _mm512_madd_epi16(redOne[h], redOneFactors));
        // (Zero-masked: GCC 12's header for the plain shift reads an undefined register.)
        halves[h] = _mm512_maskz_srai_epi32(~__mmask16 { 0 }, sum, 8);
    }
    return _mm512_packs_epi32(halves[0], halves[1]);
}

// 32 pixels' channels (16-bit lanes) through the matrix.
struct Turn {
    Factors factors;
    OSKEL_BYTE_PERMUTE_TARGET void operator()(__m512i (&lanes)[3]) const
    {
        const __m512i one = _mm512_set1_epi16(1);
        const __m512i blueGreen[2] = { _mm512_unpacklo_epi16(lanes[0], lanes[1]),
            _mm512_unpackhi_epi16(lanes[0], lanes[1]) };
        const __m512i redOne[2]
            = { _mm512_unpacklo_epi16(lanes[2], one), _mm512_unpackhi_epi16(lanes[2], one) };
        for (int c = 0; c < 3; ++c) {
            lanes[c] = newChannel(blueGreen, redOne, factors.blueGreen[c], factors.redOne[c]);
        }
    }
};

// Returns the pixels done: all but the last few.
OSKEL_BYTE_PERMUTE_TARGET std::size_t turnHues(
    std::uint8_t* p, std::size_t pixels, const std::array<std::int32_t, 9>& matrix)
{
    Turn turn;
    for (int c = 0; c < 3; ++c) {
        turn.factors.blueGreen[c] = pairOf(matrix[c * 3], matrix[c * 3 + 1]);
        turn.factors.redOne[c] = pairOf(matrix[c * 3 + 2], 128);
    }
    return oskel_plugins::eachSixtyFourPixels(p, pixels, oskel_plugins::LeavePlanes {}, turn);
}

} // namespace sixtyFour
#endif

void turnFrame(std::uint8_t* p, std::size_t pixels, const std::array<std::int32_t, 9>& matrix)
{
    std::size_t done = 0;
#ifdef OSKEL_BYTE_PERMUTES
    if (oskel_plugins::byteTablesAreFast()) {
        done = sixtyFour::turnHues(p, pixels, matrix);
    }
#endif
    turnHues(p + done * 3, pixels - done, matrix);
}

// The rotation by `step` / 3600 turns about the grey axis, on blue-green-red, in 1/256. Each
// row adds up to 256 exactly (the diagonal takes the rounding), so greys stay as they are.
std::array<std::int32_t, 9> hueMatrix(int step)
{
    const double angle = 2.0 * std::numbers::pi * step / kSteps;
    const double c = std::cos(angle);
    const double k = (1.0 - c) / 3.0;
    const double q = std::sin(angle) / std::numbers::sqrt3;
    const auto fixed = [](double v) { return static_cast<std::int32_t>(std::lround(v * 256.0)); };
    // On red-green-blue the row of red is (c + k, k - q, k + q); on blue-green-red the same
    // turn reads as its mirror, so blue's row is (c + k, k + q, k - q) and so on round.
    const std::int32_t ahead = fixed(k - q);
    const std::int32_t behind = fixed(k + q);
    const std::int32_t diagonal = 256 - ahead - behind;
    return { diagonal, behind, ahead, ahead, diagonal, behind, behind, ahead, diagonal };
}

struct ColourCycle {
    static constexpr const char* kId = "OKcc";
    static constexpr const char* kName = "Colour Cycle";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Speed", 0.1f },
        oskel_plugins::Parameter { "Hue", 0.0f } };

    ColourCycle(int width, int height)
        : pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    {
    }

    void process(std::uint8_t* frame, const float* values)
    {
        const int hue = oskel_plugins::scaled(values[1], kSteps);
        const int step = (hue + phase) % kSteps;
        if (step != 0) {
            turnFrame(frame, pixels, hueMatrix(step));
        }
        phase = (phase + oskel_plugins::scaled(values[0], kMaxStepsPerFrame)) % kSteps;
    }

    std::size_t pixels;
    int phase = 0; // how far the frames so far have turned, in 1/3600 turns
};

} // namespace

OSKEL_PLUGIN(ColourCycle)
