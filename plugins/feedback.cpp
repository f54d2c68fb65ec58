// Feedback: an echo of earlier frames, each frame mixed with the last output by "Echo".
#include <vector>

#include "plugin_base.h"

namespace {

// The new frame and the last output mixed in 16-bit lanes, into both.
OSKEL_ROW_LOOP void echoInto(std::uint8_t* __restrict out, std::uint8_t* __restrict kept,
    std::size_t count, std::uint16_t freshWeight, std::uint16_t echoWeight)
{
    for (std::size_t i = 0; i < count; ++i) {
        const auto mixed = static_cast<std::uint8_t>(
            static_cast<std::uint16_t>(out[i] * freshWeight + kept[i] * echoWeight + 128) >> 8);
        out[i] = mixed;
        kept[i] = mixed;
    }
}

struct Feedback {
    static constexpr const char* kId = "OKfb";
    static constexpr const char* kName = "Feedback";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Echo", 0.5f } };

    Feedback(int width, int height)
        : last(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
    {
    }

    void process(std::uint8_t* frame, const float* values)
    {
        // At most 15/16 of the last output, so the echo always dies away.
        const int echo = oskel_plugins::scaled(values[0], 240);
        const int fresh = 256 - echo;
        if (!started) {
            std::memcpy(last.data(), frame, last.size());
            started = true;
        }
        echoInto(frame, last.data(), last.size(), static_cast<std::uint16_t>(fresh),
            static_cast<std::uint16_t>(echo));
    }

    std::vector<std::uint8_t> last;
    bool started = false;
};

} // namespace

OSKEL_PLUGIN(Feedback)
