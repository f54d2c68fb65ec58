// Feedback: an echo of earlier frames, each frame mixed with the last output by "Echo".
#include <vector>

#include "plugin_base.h"

namespace {

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
        for (std::size_t i = 0; i < last.size(); ++i) {
            const auto mixed
                = static_cast<std::uint8_t>((frame[i] * fresh + last[i] * echo + 128) >> 8);
            frame[i] = mixed;
            last[i] = mixed;
        }
    }

    std::vector<std::uint8_t> last;
    bool started = false;
};

} // namespace

OSKEL_PLUGIN(Feedback)
