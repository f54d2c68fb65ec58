// The parts every effect plug-in of ours shares: plugMain's dispatch, the information
// records and the parameters. An effect is a class with:
//   static constexpr const char* kId;    4 characters
//   static constexpr const char* kName;  up to 16 characters
//   static constexpr std::array<Parameter, N> kParameters;
//   Effect(int width, int height);                    the instance, sized to the frames
//   void process(std::uint8_t* frame, const float* values);   24-bit frame, in place
// and, for a mixer, bool processCopy(const ProcessFrameCopyStruct&, const float* values);
// and OSKEL_PLUGIN(Effect) defines plugMain for it. Frames are rows of 3 bytes per pixel
// (blue, green, red), bottom row first, packed.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "effects/freeframe.h"
#include "effects/plugin_results.h"

namespace oskel_plugins {

struct Parameter {
    const char* name; // up to 16 characters
    float initial;
};

template <typename Effect> struct Instance {
    Instance(int width, int height)
        : effect(width, height)
    {
        for (std::size_t i = 0; i < Effect::kParameters.size(); ++i) {
            values[i] = Effect::kParameters[i].initial;
        }
    }
    Effect effect;
    std::array<float, 8> values {};
    std::array<char, 17> display {};
};

using oskel::resultCode;
using oskel::resultPointer;

template <typename Effect> PlugInfoStruct& info()
{
    static PlugInfoStruct record = [] {
        PlugInfoStruct made {};
        made.APIMajorVersion = 1;
        made.APIMinorVersion = 0;
        std::memcpy(made.uniqueID, Effect::kId, 4);
        std::strncpy(made.pluginName, Effect::kName, sizeof(made.pluginName));
        made.pluginType = FF_EFFECT;
        return made;
    }();
    return record;
}

// An effect that mixes frames has processCopy(const ProcessFrameCopyStruct&, const float*).
template <typename Effect>
constexpr bool kCopies = requires(Effect effect, const ProcessFrameCopyStruct& frames)
{
    effect.processCopy(frames, static_cast<const float*>(nullptr));
};

template <typename Effect>
plugMainUnion dispatch(std::uint32_t function, FFParameter input, FFInstanceID id)
{
    using Made = Instance<Effect>;
    constexpr std::uint32_t count = Effect::kParameters.size();
    auto* instance = reinterpret_cast<Made*>(id);
    switch (function) {
    case FF_GETINFO:
        return resultPointer(&info<Effect>());
    case FF_INITIALISE:
    case FF_DEINITIALISE:
        return resultCode(FF_SUCCESS);
    case FF_GETNUMPARAMETERS:
        return resultCode(count);
    case FF_GETPARAMETERNAME:
        return input < count ? resultPointer(const_cast<char*>(Effect::kParameters[input].name))
                             : resultCode(FF_FAIL);
    case FF_GETPARAMETERDEFAULT: {
        plugMainUnion result = resultCode(0);
        result.fvalue = input < count ? Effect::kParameters[input].initial : 0.0f;
        return result;
    }
    case FF_GETPARAMETERDISPLAY:
        if (instance == nullptr || input >= count) {
            return resultCode(FF_FAIL);
        }
        std::snprintf(instance->display.data(), instance->display.size(), "%.3f",
            static_cast<double>(instance->values[input]));
        return resultPointer(instance->display.data());
    case FF_SETPARAMETER: {
        const auto* set = reinterpret_cast<const SetParameterStruct*>(input);
        if (instance == nullptr || set == nullptr || set->index >= count) {
            return resultCode(FF_FAIL);
        }
        instance->values[set->index] = std::clamp(set->value, 0.0f, 1.0f);
        return resultCode(FF_SUCCESS);
    }
    case FF_GETPARAMETER: {
        plugMainUnion result = resultCode(0);
        result.fvalue = instance != nullptr && input < count ? instance->values[input] : 0.0f;
        return result;
    }
    case FF_GETPLUGINCAPS:
        return resultCode(
            input == FF_CAP_24BITVIDEO || (input == FF_CAP_PROCESSFRAMECOPY && kCopies<Effect>)
                ? FF_TRUE
                : FF_FALSE);
    case FF_INSTANTIATE: {
        const auto* video = reinterpret_cast<const VideoInfoStruct*>(input);
        if (video == nullptr || video->bitDepth != FF_DEPTH_24 || video->frameWidth == 0
            || video->frameHeight == 0 || video->frameWidth > 16384 || video->frameHeight > 16384) {
            return resultCode(FF_FAIL);
        }
        auto* made = new (std::nothrow)
            Made(static_cast<int>(video->frameWidth), static_cast<int>(video->frameHeight));
        if (made == nullptr) {
            return resultCode(FF_FAIL);
        }
        plugMainUnion result {};
        result.instance = reinterpret_cast<FFInstanceID>(made);
        return result;
    }
    case FF_DEINSTANTIATE:
        delete instance;
        return resultCode(FF_SUCCESS);
    case FF_PROCESSFRAME:
        if (instance == nullptr || input == 0) {
            return resultCode(FF_FAIL);
        }
        instance->effect.process(reinterpret_cast<std::uint8_t*>(input), instance->values.data());
        return resultCode(FF_SUCCESS);
    case FF_PROCESSFRAMECOPY:
        if constexpr (kCopies<Effect>) {
            const auto* frames = reinterpret_cast<const ProcessFrameCopyStruct*>(input);
            if (instance == nullptr || frames == nullptr || frames->InputFrames == nullptr
                || frames->OutputFrame == nullptr) {
                return resultCode(FF_FAIL);
            }
            return resultCode(instance->effect.processCopy(*frames, instance->values.data())
                    ? FF_SUCCESS
                    : FF_FAIL);
        }
        return resultCode(FF_FAIL);
    default:
        return resultCode(FF_FAIL);
    }
}

// A row loop compiled three times, for any x86-64, for AVX2 (x86-64-v3) and for AVX-512
// (x86-64-v4); the one the processor has is chosen once, when the plug-in loads. The loops
// work in 16-bit lanes on byte rows so that every build vectorises them: AVX2 and AVX-512
// give two and four times the lanes of the plain build per instruction.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define OSKEL_ROW_LOOP __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define OSKEL_ROW_LOOP
#endif

// A byte from a parameter 0..1 scaled to 0..`top`, rounded.
inline int scaled(float value, int top)
{
    return static_cast<int>(value * static_cast<float>(top) + 0.5f);
}

} // namespace oskel_plugins

#define OSKEL_PLUGIN(Effect)                                                                       \
    extern "C" FF_EXPORT plugMainUnion plugMain(                                                   \
        std::uint32_t function, FFParameter input, FFInstanceID instance)                          \
    {                                                                                              \
        return oskel_plugins::dispatch<Effect>(function, input, instance);                         \
    }
