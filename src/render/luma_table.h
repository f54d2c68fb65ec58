#pragma once

#include <array>
#include <cstdint>

namespace oskel {

// A slot's luma key as one alpha per brightness: indexed by blue + green + red (0..765).
struct LumaTable {
    std::array<std::uint8_t, 768> alpha {};
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
