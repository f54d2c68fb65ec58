// TarnMixer: the wet/dry mixer of the effect host. Two input frames, dry first and wet
// second, mixed into the output linearly by "Dry": 0 gives the wet frame, 1 the dry one.
#include "plugin_base.h"

namespace {

// Weights in 1/256: the two add up to 256, so equal inputs come out unchanged.
OSKEL_ROW_LOOP void mix(const std::uint8_t* __restrict dry, const std::uint8_t* __restrict wet,
    std::uint8_t* __restrict out, std::size_t count, std::uint16_t dryWeight,
    std::uint16_t wetWeight)
{
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<std::uint8_t>(
            static_cast<std::uint16_t>(dry[i] * dryWeight + wet[i] * wetWeight + 128) >> 8);
    }
}

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
        const auto dryWeight = static_cast<std::uint16_t>(oskel_plugins::scaled(values[0], 256));
        mix(static_cast<const std::uint8_t*>(frames.InputFrames[0]),
            static_cast<const std::uint8_t*>(frames.InputFrames[1]),
            static_cast<std::uint8_t*>(frames.OutputFrame), bytes, dryWeight,
            static_cast<std::uint16_t>(256 - dryWeight));
        return true;
    }

    std::size_t bytes;
};

} // namespace

OSKEL_PLUGIN(TarnMixer)
