// Posterize: each colour channel cut to a few levels ("Levels": 2 to 16).
#include "byte_table.h"
#include "plugin_base.h"

namespace {

// Each byte to its level, (v x levels) / 256, and the level back to 0..255 by a
// multiplication (level x 255 / (levels - 1), rounded): both fit 16-bit lanes.
OSKEL_ROW_LOOP void posterize(
    std::uint8_t* __restrict bytes, std::size_t count, std::uint16_t levels, std::uint16_t perLevel)
{
    for (std::size_t i = 0; i < count; ++i) {
        const auto level
            = static_cast<std::uint16_t>(static_cast<std::uint16_t>(bytes[i] * levels) >> 8);
        const auto back = static_cast<std::uint16_t>(level * perLevel + 128);
        bytes[i] = static_cast<std::uint8_t>(back >> 8);
    }
}

struct Posterize {
    static constexpr const char* kId = "OKps";
    static constexpr const char* kName = "Posterize";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Levels", 0.2f } };

    Posterize(int width, int height)
        : bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
    {
    }

    void process(std::uint8_t* frame, const float* values) const
    {
        const int levels = 2 + oskel_plugins::scaled(values[0], 14);
        const auto perLevel
            = static_cast<std::uint16_t>((255 * 256 + (levels - 1) / 2) / (levels - 1));
        oskel_plugins::runByteByByte(frame, bytes, [&](std::uint8_t* row, std::size_t count) {
            posterize(row, count, static_cast<std::uint16_t>(levels), perLevel);
        });
    }

    std::size_t bytes;
};

} // namespace

OSKEL_PLUGIN(Posterize)
