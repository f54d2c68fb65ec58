#include "render/texture_layout.h"

#include <algorithm>

namespace oskel {

namespace {

constexpr float kMaxShownS = 0.75f; // 384 of 512 texels
constexpr float kMaxShownT = 0.5625f; // 288 of 512 texels
constexpr int kLargestTileStart = 2048;

} // namespace

TextureLayout textureLayoutFor(int width, int height, int maxEdge)
{
    if (width <= 0 || height <= 0) {
        TextureLayout empty;
        empty.flatEdge = 0;
        return empty;
    }
    const int larger = std::max(width, height);
    const int smaller = std::min(width, height);

    TextureLayout layout;
    layout.flatEdge = maxEdge;
    while (layout.flatEdge / 2 > larger) {
        layout.flatEdge /= 2;
    }
    const bool standardEdge = layout.flatEdge <= kMaxTextureEdge;
    layout.sMax = std::min(static_cast<float>(width) / static_cast<float>(layout.flatEdge),
        standardEdge ? kMaxShownS : 1.0f);
    layout.tMax = std::min(static_cast<float>(height) / static_cast<float>(layout.flatEdge),
        standardEdge ? kMaxShownT : 1.0f);

    int tile = kLargestTileStart;
    while (tile > smaller) {
        tile /= 2;
    }
    // The work buffers hold at most one texture of the largest edge, so neither is larger.
    layout.tileEdge = std::min(tile, maxEdge);
    layout.tileX = static_cast<int>(static_cast<unsigned>(width - layout.tileEdge) >> 1);
    layout.tileY = static_cast<int>(static_cast<unsigned>(height - layout.tileEdge) >> 1);
    return layout;
}

} // namespace oskel
