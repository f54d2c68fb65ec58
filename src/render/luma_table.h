#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace oskel {

// The ramp a luma table was built from: low <= high, both within 0..767.
struct LumaRamp {
    int low = 0;
    int high = 0;
    bool inverse = false;
};

// A slot's luma key as one alpha per brightness: indexed by blue + green + red (0..765).
// `alpha` is the key. BuildLumaTable also records in `ramp` what it built alpha from, when
// its levels lie within 0..767, so that the pixel rows can work each alpha out instead of
// looking it up; code that fills alpha by other means leaves `ramp` empty.
struct LumaTable {
    std::array<std::uint8_t, 768> alpha {};
    std::optional<LumaRamp> ramp;
};

// Between low and high the alpha ramps from 0 towards 256 (truncated); outside it is 0 or
// 255. Inverse mirrors it. Low and high are exchanged when given the wrong way round.
void BuildLumaTable(LumaTable& table, int low, int high, bool inverse);

// The key settings a slot's table was last built for, so the table is rebuilt only when
// one of them changes. Starts as 0, 0, off with the ramp for 255..512, not inverted.
struct LumaCache {
    int level = 0;
    int blend = 0;
    bool inverse = false;
    LumaTable table = initialTable();

    // Rebuilds the table when the settings differ from the cached ones; true when rebuilt.
    bool update(int lumaLevel, int blendLevel, bool inverseLuma);

    static LumaTable initialTable();
};

} // namespace oskel
