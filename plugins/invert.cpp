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

    void process(std::uint8_t* frame, const float* values) const
    {
        const int amount = oskel_plugins::scaled(values[0], 256);
        if (amount == 256) {
            for (std::size_t i = 0; i < bytes; ++i) {
                frame[i] = static_cast<std::uint8_t>(255 - frame[i]);
            }
            return;
        }
        for (std::size_t i = 0; i < bytes; ++i) {
            const int v = frame[i];
            frame[i] = static_cast<std::uint8_t>(v + (((255 - 2 * v) * amount) >> 8));
        }
    }

    std::size_t bytes;
};

} // namespace

OSKEL_PLUGIN(Invert)
