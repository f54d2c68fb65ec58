// Invert: every colour turned to its opposite, blended with the original by "Amount".
#include "byte_table.h"
#include "plugin_base.h"

namespace {

OSKEL_ROW_LOOP void invertAll(std::uint8_t* __restrict bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(255 - bytes[i]);
    }
}

// v + (255 - 2v) x amount / 256 = (v x (256 - 2 amount) + 255 amount) / 256, whose value
// never leaves 0..65280: worked in 16-bit lanes, where the wrapped factor 256 - 2 amount
// (negative past half) still gives the exact sum.
OSKEL_ROW_LOOP void invertPart(
    std::uint8_t* __restrict bytes, std::size_t count, std::uint16_t factor, std::uint16_t add)
{
    for (std::size_t i = 0; i < count; ++i) {
        const auto sum
            = static_cast<std::uint16_t>(static_cast<std::uint16_t>(bytes[i] * factor) + add);
        bytes[i] = static_cast<std::uint8_t>(sum >> 8);
    }
}

struct Invert {
    static constexpr const char* kId = "OKiv";
    static constexpr const char* kName = "Invert";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Amount", 1.0f } };

    Invert(int width, int height)
        : bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
    {
    }

    void process(std::uint8_t* frame, const float* values) const
    {
        const int amount = oskel_plugins::scaled(values[0], 256);
        if (amount == 256) {
            invertAll(frame, bytes);
            return;
        }
        const auto factor = static_cast<std::uint16_t>(256 - 2 * amount);
        const auto add = static_cast<std::uint16_t>(255 * amount);
        oskel_plugins::runByteByByte(
            frame, bytes, [factor, add](std::uint8_t* row, std::size_t count) {
                invertPart(row, count, factor, add);
            });
    }

    std::size_t bytes;
};

} // namespace

OSKEL_PLUGIN(Invert)
