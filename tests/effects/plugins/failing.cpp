// A plug-in whose call with one function code fails (set with failingCode; FF_FAIL, or for
// the pointer calls a null pointer). Otherwise one parameter, 24 bits, and an invert.
#include <cstdint>

#include "effects/freeframe.h"
#include "effects/plugin_results.h"

namespace {

std::uint32_t g_failing = 0xFFFF;
PlugInfoStruct g_info = { 1, 0, { 'F', 'A', 'I', 'L' }, "Failing", FF_EFFECT };
char g_name[] = "Level";

struct Instance {
    unsigned width = 0;
    unsigned height = 0;
    float level = 0.5f;
};

using oskel::resultCode;
using oskel::resultPointer;

} // namespace

extern "C" FF_EXPORT void failingCode(std::uint32_t code)
{
    g_failing = code;
}

extern "C" FF_EXPORT plugMainUnion plugMain(std::uint32_t code, FFParameter input, FFInstanceID id)
{
    auto* instance = reinterpret_cast<Instance*>(id);
    if (code == g_failing) {
        if (code == FF_GETPARAMETER) {
            return resultCode(FF_FAIL); // a NaN as a float
        }
        if (code == FF_DEINSTANTIATE) {
            delete instance;
        }
        return code == FF_GETINFO || code == FF_GETPARAMETERNAME ? resultPointer(nullptr)
                                                                 : resultCode(FF_FAIL);
    }
    switch (code) {
    case FF_GETINFO:
        return resultPointer(&g_info);
    case FF_INITIALISE:
    case FF_DEINITIALISE:
        return resultCode(FF_SUCCESS);
    case FF_GETNUMPARAMETERS:
        return resultCode(1);
    case FF_GETPARAMETERNAME:
        return resultPointer(g_name);
    case FF_SETPARAMETER:
        instance->level = reinterpret_cast<const SetParameterStruct*>(input)->value;
        return resultCode(FF_SUCCESS);
    case FF_GETPARAMETER: {
        plugMainUnion result {};
        result.fvalue = instance->level;
        return result;
    }
    case FF_GETPLUGINCAPS:
        return resultCode(input == FF_CAP_24BITVIDEO ? FF_TRUE : FF_FALSE);
    case FF_INSTANTIATE: {
        const auto* video = reinterpret_cast<const VideoInfoStruct*>(input);
        plugMainUnion result {};
        result.instance = reinterpret_cast<FFInstanceID>(
            new Instance { video->frameWidth, video->frameHeight, 0.5f });
        return result;
    }
    case FF_DEINSTANTIATE:
        delete instance;
        return resultCode(FF_SUCCESS);
    case FF_PROCESSFRAME: {
        auto* frame = reinterpret_cast<std::uint8_t*>(input);
        for (std::size_t i = 0; i < std::size_t { instance->width } * instance->height * 3; ++i) {
            frame[i] = static_cast<std::uint8_t>(255 - frame[i]);
        }
        return resultCode(FF_SUCCESS);
    }
    default:
        return resultCode(FF_FAIL);
    }
}
