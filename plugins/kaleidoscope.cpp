// Kaleidoscope: the picture cut into mirrored wedges around its centre ("Segments": 2 to 16)
// and turned ("Rotation": a whole turn). Every pixel takes the pixel of the first wedge it
// stands for; where that is, is worked out once per setting into a table, so a frame is one
// copy and one table-driven pass.
#include <cmath>
#include <numbers>
#include <vector>

#include "plugin_base.h"

namespace {

constexpr int kMaxSegments = 16;
constexpr int kRotationSteps = 1024; // the rotation is kept in 1/1024 turns

// Each output pixel from the pixel of `picture` its table entry names (a byte offset).
void lookUp(std::uint8_t* __restrict out, const std::uint8_t* __restrict picture,
    const std::uint32_t* __restrict from, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* source = picture + from[i];
        out[i * 3] = source[0];
        out[i * 3 + 1] = source[1];
        out[i * 3 + 2] = source[2];
    }
}

struct Kaleidoscope {
    static constexpr const char* kId = "OKkl";
    static constexpr const char* kName = "Kaleidoscope";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Segments", 0.3f },
        oskel_plugins::Parameter { "Rotation", 0.0f } };

    Kaleidoscope(int w, int h)
        : width(w)
        , height(h)
        , picture(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3)
        , from(static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
    {
    }

    void process(std::uint8_t* frame, const float* values)
    {
        const int segments = 2 + oskel_plugins::scaled(values[0], kMaxSegments - 2);
        const int rotation = oskel_plugins::scaled(values[1], kRotationSteps) % kRotationSteps;
        if (segments != tableSegments || rotation != tableRotation) {
            makeTable(segments, rotation);
        }
        std::memcpy(picture.data(), frame, picture.size());
        lookUp(frame, picture.data(), from.data(), from.size());
    }

    // For each pixel: its angle about the centre less the rotation, folded into the first
    // wedge (every other wedge mirrored, so neighbours meet at their edges), turned back by
    // the rotation and sampled at the same distance from the centre.
    void makeTable(int segments, int rotation)
    {
        constexpr double kTurn = 2.0 * std::numbers::pi;
        const double wedge = kTurn / segments;
        const double turned = kTurn * rotation / kRotationSteps;
        const double cx = width / 2.0;
        const double cy = height / 2.0;
        std::size_t i = 0;
        for (int y = 0; y < height; ++y) {
            const double dy = y + 0.5 - cy;
            for (int x = 0; x < width; ++x, ++i) {
                const double dx = x + 0.5 - cx;
                const double radius = std::hypot(dx, dy);
                double angle = std::fmod(std::atan2(dy, dx) - turned + 2.0 * kTurn, kTurn);
                const auto index = static_cast<int>(angle / wedge);
                angle -= index * wedge;
                if (index % 2 == 1) {
                    angle = wedge - angle;
                }
                angle += turned;
                const int sx = std::clamp(
                    static_cast<int>(std::floor(cx + radius * std::cos(angle))), 0, width - 1);
                const int sy = std::clamp(
                    static_cast<int>(std::floor(cy + radius * std::sin(angle))), 0, height - 1);
                from[i] = static_cast<std::uint32_t>(
                    (static_cast<std::size_t>(sy) * static_cast<std::size_t>(width)
                        + static_cast<std::size_t>(sx))
                    * 3);
            }
        }
        tableSegments = segments;
        tableRotation = rotation;
    }

    int width;
    int height;
    std::vector<std::uint8_t> picture;
    std::vector<std::uint32_t> from;
    int tableSegments = 0;
    int tableRotation = -1;
};

} // namespace

OSKEL_PLUGIN(Kaleidoscope)
