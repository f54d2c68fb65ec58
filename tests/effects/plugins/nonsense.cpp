// A plug-in that answers nonsense: information at an address that cannot be read, a
// thousand parameters, names without an end, display texts nowhere, NaN values, and a
// deInitialise that throws.
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "effects/freeframe.h"
#include "effects/plugin_results.h"

namespace {

// 32 letters and no zero among the first 16.
char g_endless[32] = { 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N',
    'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N' };
int g_instance = 0;

using oskel::resultCode;

plugMainUnion address(std::uintptr_t at)
{
    plugMainUnion result {};
    result.instance = at;
    return result;
}

} // namespace

extern "C" FF_EXPORT plugMainUnion plugMain(std::uint32_t code, FFParameter, FFInstanceID)
{
    switch (code) {
    case FF_GETINFO:
        return address(0x10);
    case FF_GETEXTENDEDINFO:
        return address(0x30);
    case FF_GETNUMPARAMETERS:
        return resultCode(1000);
    case FF_GETPARAMETERNAME: {
        plugMainUnion result {};
        result.svalue = g_endless;
        return result;
    }
    case FF_GETPARAMETERDISPLAY:
        return address(0x20);
    case FF_GETPARAMETER: {
        plugMainUnion result {};
        result.fvalue = std::nanf("");
        return result;
    }
    case FF_GETPLUGINCAPS:
        return resultCode(0x1234);
    case FF_INSTANTIATE:
        return address(reinterpret_cast<std::uintptr_t>(&g_instance));
    case FF_DEINITIALISE:
        throw std::runtime_error("no");
    default:
        return resultCode(FF_SUCCESS);
    }
}
