// A plug-in that records every call it receives ("getInfo", "instantiate 1", ...), for the
// tests to read through recorderCalls(). Three parameters; inverts 24- and 32-bit frames.
#include <cstring>
#include <mutex>
#include <string>

#include "effects/freeframe.h"
#include "effects/plugin_results.h"

namespace {

struct Instance {
    int number = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned depth = 0;
    float values[3] = { 0.25f, 0.5f, 0.75f };
    char display[16] = {};
};

std::mutex g_lock;
std::string g_calls;
int g_instances = 0;
PlugInfoStruct g_info = { 1, 0, { 'R', 'E', 'C', '1' }, "Recorder", FF_EFFECT };
const char* const g_names[3] = { "Alpha", "Beta", "Gamma" };

void record(const std::string& call)
{
    const std::lock_guard guard(g_lock);
    g_calls += call + "\n";
}

using oskel::resultCode;
using oskel::resultPointer;

} // namespace

extern "C" FF_EXPORT const char* recorderCalls()
{
    return g_calls.c_str();
}

extern "C" FF_EXPORT void recorderClear()
{
    const std::lock_guard guard(g_lock);
    g_calls.clear();
}

// A fresh start: no calls, instances counted from 1 again.
extern "C" FF_EXPORT void recorderReset()
{
    const std::lock_guard guard(g_lock);
    g_calls.clear();
    g_instances = 0;
}

extern "C" FF_EXPORT plugMainUnion plugMain(std::uint32_t code, FFParameter input, FFInstanceID id)
{
    auto* instance = reinterpret_cast<Instance*>(id);
    const std::string which = instance != nullptr ? " " + std::to_string(instance->number) : "";
    switch (code) {
    case FF_GETINFO:
        record("getInfo");
        return resultPointer(&g_info);
    case FF_INITIALISE:
        record("initialise");
        return resultCode(FF_SUCCESS);
    case FF_DEINITIALISE:
        record("deInitialise");
        return resultCode(FF_SUCCESS);
    case FF_GETNUMPARAMETERS:
        return resultCode(3);
    case FF_GETPARAMETERNAME:
        return input < 3 ? resultPointer(const_cast<char*>(g_names[input])) : resultCode(FF_FAIL);
    case FF_GETPARAMETERDISPLAY:
        if (instance == nullptr || input >= 3) {
            return resultCode(FF_FAIL);
        }
        std::snprintf(instance->display, sizeof instance->display, "%d%%",
            static_cast<int>(instance->values[input] * 100.0f + 0.5f));
        return resultPointer(instance->display);
    case FF_SETPARAMETER: {
        const auto* set = reinterpret_cast<const SetParameterStruct*>(input);
        record("setParameter" + which + " " + std::to_string(set->index) + " "
            + std::to_string(set->value));
        if (instance == nullptr || set->index >= 3) {
            return resultCode(FF_FAIL);
        }
        instance->values[set->index] = set->value;
        return resultCode(FF_SUCCESS);
    }
    case FF_GETPARAMETER: {
        plugMainUnion result {};
        result.fvalue = instance != nullptr && input < 3 ? instance->values[input] : 0.0f;
        return result;
    }
    case FF_GETPLUGINCAPS:
        return resultCode(
            input == FF_CAP_24BITVIDEO || input == FF_CAP_32BITVIDEO ? FF_TRUE : FF_FALSE);
    case FF_INSTANTIATE: {
        const auto* video = reinterpret_cast<const VideoInfoStruct*>(input);
        auto* made = new Instance;
        made->number = ++g_instances;
        made->width = video->frameWidth;
        made->height = video->frameHeight;
        made->depth = video->bitDepth;
        record("instantiate " + std::to_string(made->number) + " " + std::to_string(made->width)
            + "x" + std::to_string(made->height) + " depth " + std::to_string(made->depth)
            + " orientation " + std::to_string(video->orientation));
        plugMainUnion result {};
        result.instance = reinterpret_cast<FFInstanceID>(made);
        return result;
    }
    case FF_DEINSTANTIATE:
        record("deInstantiate" + which);
        delete instance;
        return resultCode(FF_SUCCESS);
    case FF_PROCESSFRAME: {
        record("processFrame" + which);
        auto* frame = reinterpret_cast<std::uint8_t*>(input);
        const std::size_t bytes = static_cast<std::size_t>(instance->width) * instance->height
            * (instance->depth == FF_DEPTH_32 ? 4 : 3);
        for (std::size_t i = 0; i < bytes; ++i) {
            frame[i] = static_cast<std::uint8_t>(255 - frame[i]);
        }
        return resultCode(FF_SUCCESS);
    }
    case FF_GETEXTENDEDINFO:
        return resultCode(0);
    default:
        record("unknown " + std::to_string(code));
        return resultCode(FF_FAIL);
    }
}
