// TarnMixer: the wet/dry mixer of the effect host. Two input frames, dry first and wet
// second, mixed into the output linearly by "Dry": 0 gives the wet frame, 1 the dry one.
#include "plugin_base.h"

namespace {

struct TarnMixer {
    static constexpr const char* kId = "OKwd";
    static constexpr const char* kName = "TarnMixer";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Dry", 0.0f } };

    TarnMixer(int width, int height)
        : bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
    {
    }

    void process(std::uint8_t*, const float*) const { }

    bool processCopy(const ProcessFrameCopyStruct& frames, const float* values) const
    {
        if (frames.numInputFrames < 2 || frames.InputFrames[0] == nullptr
            || frames.InputFrames[1] == nullptr) {
            return false;
        }
        const auto* __restrict dry = static_cast<const std::uint8_t*>(frames.InputFrames[0]);
        const auto* __restrict wet = static_cast<const std::uint8_t*>(frames.InputFrames[1]);
        auto* __restrict out = static_cast<std::uint8_t*>(frames.OutputFrame);
        const std::size_t count = bytes;
        // Weights in 1/256: the two add up to 256, so equal inputs come out unchanged.
        const auto dryWeight = static_cast<std::uint16_t>(oskel_plugins::scaled(values[0], 256));
        const auto wetWeight = static_cast<std::uint16_t>(256 - dryWeight);
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = static_cast<std::uint8_t>(
                static_cast<std::uint16_t>(dry[i] * dryWeight + wet[i] * wetWeight + 128) >> 8);
        }
        return true;
    }

    std::size_t bytes;
};

} // namespace

OSKEL_PLUGIN(TarnMixer)
