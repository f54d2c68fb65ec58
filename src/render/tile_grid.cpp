#include "render/tile_grid.h"

#include <algorithm>
#include <cmath>

namespace oskel {

namespace {

constexpr double kStartDepth = -5.0;
constexpr double kDepthStep = 0.001;
// The perspective's far plane is 100 units away: tiles spaced further apart than that are
// out of sight anyway. A spacing that is not a number at all gets the slot's default.
constexpr double kMaxSpacing = 100.0;
constexpr double kDefaultSpacing = 2.0;

double saneSpacing(double spacing)
{
    if (std::isnan(spacing)) {
        return kDefaultSpacing;
    }
    return std::clamp(spacing, -kMaxSpacing, kMaxSpacing);
}

double firstOffset(int count, double spacing)
{
    return count > 1 ? -(count / 2) * spacing : 0.0;
}

} // namespace

TileGrid layOutTiles(int columns, int rows, double spacing)
{
    columns = std::clamp(columns, 1, kMaxTilesPerSide);
    rows = std::clamp(rows, 1, kMaxTilesPerSide);
    spacing = saneSpacing(spacing);

    TileGrid grid;
    double y = firstOffset(rows, spacing);
    double z = kStartDepth;
    for (int row = 0; row < rows; ++row) {
        double x = firstOffset(columns, spacing);
        for (int column = 0; column < columns; ++column) {
            grid.tiles[static_cast<std::size_t>(grid.count++)] = TilePlacement { x, y, z };
            x += spacing;
            z += kDepthStep;
        }
        y += spacing;
    }
    return grid;
}

} // namespace oskel
