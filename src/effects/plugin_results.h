#pragma once

// The results a plug-in's entry point hands back, made whole: the union is zeroed first, so
// that a 32-bit code leaves no stray bits in the rest of a pointer-wide result.
#include <cstdint>

#include "effects/freeframe.h"

namespace oskel {

inline plugMainUnion resultCode(std::uint32_t value)
{
    plugMainUnion result {};
    result.pointer = nullptr;
    result.ivalue = value;
    return result;
}

inline plugMainUnion resultPointer(void* to)
{
    plugMainUnion result {};
    result.pointer = to;
    return result;
}

} // namespace oskel
