// Posterize: each colour channel cut to a few levels ("Levels": 2 to 16).
#include "plugin_base.h"

namespace {

struct Posterize {
    static constexpr const char* kId = "OKps";
    static constexpr const char* kName = "Posterize";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Levels", 0.2f } };

    Posterize(int width, int height)
        : bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
    {
    }

    // Each byte to its level, (v x levels) / 256, and the level back to 0..255 by a
    // multiplication in 16-bit lanes (level x 255 / (levels - 1), rounded).
    void process(std::uint8_t* frame, const float* values) const
    {
        const std::size_t count = bytes;
        const int levels = 2 + oskel_plugins::scaled(values[0], 14);
        const auto perLevel
            = static_cast<std::uint16_t>((255 * 256 + (levels - 1) / 2) / (levels - 1));
        const auto many = static_cast<std::uint16_t>(levels);
        for (std::size_t i = 0; i < count; ++i) {
            const auto level = static_cast<std::uint16_t>((frame[i] * many) >> 8);
            frame[i] = static_cast<std::uint8_t>(
                static_cast<std::uint16_t>(level * perLevel + 128) >> 8);
        }
    }

    std::size_t bytes;
};

} // namespace

OSKEL_PLUGIN(Posterize)
