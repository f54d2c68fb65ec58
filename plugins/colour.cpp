// Brightness, contrast and saturation, each neutral at 0.5.
#include "plugin_base.h"

namespace {

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

    void process(std::uint8_t* frame, const float* values)
    {
        // Brightness -255..255, contrast and saturation 0..2 in 1/256 steps.
        const int brightness = oskel_plugins::scaled(values[0], 510) - 255;
        const int contrast = oskel_plugins::scaled(values[1], 512);
        const int saturation = oskel_plugins::scaled(values[2], 512);
        for (int v = 0; v < 256; ++v) {
            const int c = (((v - 128) * contrast) >> 8) + 128 + brightness;
            table[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(std::clamp(c, 0, 255));
        }
        for (std::size_t i = 0; i < pixels; ++i) {
            std::uint8_t* p = frame + i * 3;
            const int b = table[p[0]];
            const int g = table[p[1]];
            const int r = table[p[2]];
            const int grey = (b * 29 + g * 150 + r * 77) >> 8;
            p[0] = static_cast<std::uint8_t>(
                std::clamp(grey + (((b - grey) * saturation) >> 8), 0, 255));
            p[1] = static_cast<std::uint8_t>(
                std::clamp(grey + (((g - grey) * saturation) >> 8), 0, 255));
            p[2] = static_cast<std::uint8_t>(
                std::clamp(grey + (((r - grey) * saturation) >> 8), 0, 255));
        }
    }

    std::size_t pixels;
    std::array<std::uint8_t, 256> table {};
};

} // namespace

OSKEL_PLUGIN(Colour)
