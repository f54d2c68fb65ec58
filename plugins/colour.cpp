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

    void process(std::uint8_t* frame, const float* values) const
    {
        // Brightness -255..255, contrast and saturation 0..2 in 1/256 steps.
        const int brightness = oskel_plugins::scaled(values[0], 510) - 255;
        const int contrast = oskel_plugins::scaled(values[1], 512);
        const int saturation = oskel_plugins::scaled(values[2], 512);
        const std::size_t count = pixels;
        const std::size_t bytes = count * 3;
        // Brightness and contrast byte by byte, in 16-bit lanes: v x contrast / 256 plus an
        // offset, clamped.
        const auto offset = static_cast<std::int16_t>(128 + brightness - ((128 * contrast) >> 8));
        const auto gain = static_cast<std::int16_t>(contrast);
        if (gain != 256 || offset != 0) {
            for (std::size_t i = 0; i < bytes; ++i) {
                const int c = ((frame[i] * gain) >> 8) + offset;
                frame[i] = static_cast<std::uint8_t>(c < 0 ? 0 : (c > 255 ? 255 : c));
            }
        }
        if (saturation == 256) {
            return;
        }
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t* p = frame + i * 3;
            const int b = p[0];
            const int g = p[1];
            const int r = p[2];
            const int grey = (b * 29 + g * 150 + r * 77) >> 8;
            p[0] = clampByte(grey + (((b - grey) * saturation) >> 8));
            p[1] = clampByte(grey + (((g - grey) * saturation) >> 8));
            p[2] = clampByte(grey + (((r - grey) * saturation) >> 8));
        }
    }

    static std::uint8_t clampByte(int v)
    {
        return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
    }

    std::size_t pixels;
};

} // namespace

OSKEL_PLUGIN(Colour)
