#pragma once

#include <cstdint>
#include <string_view>

namespace oskel {

// The effect host as the control table reaches it: choosing a slot's plug-in, switching its
// effect, its eight parameters and its wet/dry mix. Main thread. Without a host every call
// is refused and nothing changes.
class EffectControlPort {
public:
    virtual ~EffectControlPort() = default;

    // The position in the plug-in list of the plug-in file with this exact name; 0 for none.
    virtual int pluginIndexOf(std::string_view /*fileName*/) const { return 0; }
    // The slot's position in the plug-in list; 0 for none.
    virtual int pluginIndex(int /*slot*/) const { return 0; }
    // Loads entry `index` of the plug-in list into the slot (0: none); false when the slot
    // ends up without the plug-in asked for.
    virtual bool choosePlugin(int /*slot*/, int /*index*/) { return false; }
    // FFenable; false, changing nothing, when the slot has no plug-in instance.
    virtual bool setEffectEnabled(int /*slot*/, bool /*on*/) { return false; }
    // Parameter `index` 0..7, 0..1; false when the plug-in has no such parameter.
    virtual bool setParameter(int /*slot*/, int /*index*/, float /*value*/) { return false; }
    // The dry amount 0..1 given to the wet/dry mixer (0: no mixing).
    virtual bool setWetDry(int /*slot*/, float /*dry*/) { return false; }
};

} // namespace oskel
