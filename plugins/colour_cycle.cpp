// Colour cycle: the hues of the picture turned about the grey axis, by "Hue" plus an angle
// that moves on by "Speed" (up to a tenth of a turn) with every frame processed. It counts
// frames, not time, so a render made offline turns exactly as often as the frames it makes.
#include <cmath>
#include <numbers>

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
            turnHues(frame, pixels, hueMatrix(step));
        }
        phase = (phase + oskel_plugins::scaled(values[0], kMaxStepsPerFrame)) % kSteps;
    }

    std::size_t pixels;
    int phase = 0; // how far the frames so far have turned, in 1/3600 turns
};

} // namespace

OSKEL_PLUGIN(ColourCycle)
