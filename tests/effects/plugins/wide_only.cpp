// A plug-in that takes 32-bit frames only: it inverts the three colour bytes of each pixel
// and scribbles on the fourth, which the host must not carry back.
#include <cstdint>

#include "effects/freeframe.h"
#include "effects/plugin_results.h"

namespace {

struct Instance {
    unsigned width = 0;
    unsigned height = 0;
};

PlugInfoStruct g_info = { 1, 0, { 'W', 'I', 'D', 'E' }, "Wide Only", FF_EFFECT };
std::uint32_t g_depthSeen = 99;

using oskel::resultCode;

} // namespace

extern "C" FF_EXPORT std::uint32_t wideDepthSeen()
{
    return g_depthSeen;
}

extern "C" FF_EXPORT plugMainUnion plugMain(std::uint32_t code, FFParameter input, FFInstanceID id)
{
    auto* instance = reinterpret_cast<Instance*>(id);
    switch (code) {
    case FF_GETINFO: {
        plugMainUnion result {};
        result.PISvalue = &g_info;
        return result;
    }
    case FF_GETPLUGINCAPS:
        return resultCode(input == FF_CAP_32BITVIDEO ? FF_TRUE : FF_FALSE);
    case FF_INSTANTIATE: {
        const auto* video = reinterpret_cast<const VideoInfoStruct*>(input);
        g_depthSeen = video->bitDepth;
        plugMainUnion result {};
        result.instance = reinterpret_cast<FFInstanceID>(
            new Instance { video->frameWidth, video->frameHeight });
        return result;
    }
    case FF_DEINSTANTIATE:
        delete instance;
        return resultCode(FF_SUCCESS);
    case FF_PROCESSFRAME: {
        auto* frame = reinterpret_cast<std::uint8_t*>(input);
        for (std::size_t i = 0; i < std::size_t { instance->width } * instance->height; ++i) {
            for (int k = 0; k < 3; ++k) {
                frame[i * 4 + k] = static_cast<std::uint8_t>(255 - frame[i * 4 + k]);
            }
            frame[i * 4 + 3] = 0xAB;
        }
        return resultCode(FF_SUCCESS);
    }
    case FF_GETNUMPARAMETERS:
        return resultCode(0);
    case FF_INITIALISE:
    case FF_DEINITIALISE:
        return resultCode(FF_SUCCESS);
    default:
        return resultCode(FF_FAIL);
    }
}
