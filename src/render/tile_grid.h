#pragma once

#include <array>

namespace oskel {

struct TilePlacement {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline constexpr int kMaxTilesPerSide = 16;

// Tile centres of a columns x rows grid with the given spacing, row by row from the bottom:
// x and y start at -(count div 2) x spacing (0 for a single tile), z at -5 rising 0.001 per
// tile. Counts are clamped to 1..kMaxTilesPerSide so an edited patch cannot ask for millions.
struct TileGrid {
    std::array<TilePlacement, kMaxTilesPerSide * kMaxTilesPerSide> tiles {};
    int count = 0;
};
TileGrid layOutTiles(int columns, int rows, double spacing);

} // namespace oskel
