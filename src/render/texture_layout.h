#pragma once

namespace oskel {

// Where a clip's frames go in its two textures. The flat texture has edge flatEdge (the
// smallest power of two above the larger side, capped at the largest edge) of which
// sMax x tMax is shown (in a texture of 512 or less at most 0.75 x 0.5625, i.e. 384 x 288
// texels of 512; a larger texture, made only for a composition above 384 x 288, shows the whole
// frame). The tile texture is the largest power of two square not above the smaller side, cut
// from the frame's centre at (tileX, tileY).
struct TextureLayout {
    int flatEdge = 0;
    float sMax = 1.0f;
    float tMax = 1.0f;
    int tileEdge = 0;
    int tileX = 0;
    int tileY = 0;
};

// The largest edge at the standard composition, and above it (frames of up to 1920 x 1080).
inline constexpr int kMaxTextureEdge = 512;
inline constexpr int kMaxFullTextureEdge = 2048;

// Frames of width x height; a zero side gives an empty layout (flatEdge 0). maxEdge is a power
// of two, at least 512.
TextureLayout textureLayoutFor(int width, int height, int maxEdge = kMaxTextureEdge);

} // namespace oskel
