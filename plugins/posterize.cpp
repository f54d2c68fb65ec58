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

    void process(std::uint8_t* frame, const float* values)
    {
        const int levels = 2 + oskel_plugins::scaled(values[0], 14);
        if (levels != tableLevels) {
            // A byte to its level: the nearest of `levels` evenly spread values 0..255.
            for (int v = 0; v < 256; ++v) {
                const int level = (v * levels) / 256;
                table[static_cast<std::size_t>(v)]
                    = static_cast<std::uint8_t>(level * 255 / (levels - 1));
            }
            tableLevels = levels;
        }
        for (std::size_t i = 0; i < bytes; ++i) {
            frame[i] = table[frame[i]];
        }
    }

    std::size_t bytes;
    std::array<std::uint8_t, 256> table {};
    int tableLevels = 0;
};

} // namespace

OSKEL_PLUGIN(Posterize)
