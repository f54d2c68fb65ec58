// Brightness, contrast and saturation, each neutral at 0.5.
#include "plugin_base.h"

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
        if (gain != 256) {
            brightnessContrast(frame, pixels * 3, gain, offset);
        } else if (offset != 0) {
            brighten(frame, pixels * 3, offset);
        }
        if (saturation != 256) {
            saturate(frame, pixels, saturation);
        }
    }

    std::size_t pixels;
};

} // namespace

OSKEL_PLUGIN(Colour)
