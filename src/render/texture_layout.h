#pragma once

namespace oskel {

// Where a clip's frames go in its two textures. The flat texture has edge flatEdge (the
// smallest power of two above the larger side, capped at 512) of which sMax x tMax is shown
// (at most 0.75 x 0.5625, i.e. 384 x 288 texels). The tile texture is the largest power of two
// square not above the smaller side, cut from the frame's centre at (tileX, tileY).
struct TextureLayout {
    int flatEdge = 0;
    float sMax = 1.0f;
    float tMax = 1.0f;
    int tileEdge = 0;
    int tileX = 0;
    int tileY = 0;
};

inline constexpr int kMaxTextureEdge = 512;

// Frames of width x height; a zero side gives an empty layout (flatEdge 0).
TextureLayout textureLayoutFor(int width, int height);

} // namespace oskel
