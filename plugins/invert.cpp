// Invert: every colour turned to its opposite, blended with the original by "Amount".
#include "plugin_base.h"

namespace {

struct Invert {
    static constexpr const char* kId = "OKiv";
    static constexpr const char* kName = "Invert";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Amount", 1.0f } };

    Invert(int width, int height)
        : bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
    {
    }

    // The count is read once into a local: a byte pointer may alias anything, so a member
    // read inside the loop would be read again on every turn and keep it from vectorising.
    void process(std::uint8_t* frame, const float* values) const
    {
        const std::size_t count = bytes;
        const int amount = oskel_plugins::scaled(values[0], 256);
        if (amount == 256) {
            for (std::size_t i = 0; i < count; ++i) {
                frame[i] = static_cast<std::uint8_t>(255 - frame[i]);
            }
            return;
        }
        // v + (255 - 2v) * amount / 256, in 16-bit lanes: (v * (256 - 2 amount) + 255 amount)
        // / 256 never leaves 0..65535.
        const auto keep = static_cast<std::uint16_t>(256 - 2 * amount + 512);
        const auto add = static_cast<std::uint16_t>(255 * amount);
        for (std::size_t i = 0; i < count; ++i) {
            const auto v = static_cast<std::uint16_t>(frame[i]);
            frame[i] = static_cast<std::uint8_t>(
                static_cast<std::uint16_t>(v * keep + add - 512 * v) >> 8);
        }
    }

    std::size_t bytes;
};

} // namespace

OSKEL_PLUGIN(Invert)
