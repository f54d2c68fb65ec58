#pragma once

#include <atomic>

#include <GL/gl.h>

#include "render/luma_table.h"
#include "render/texture_layout.h"

namespace oskel {

// What the renderer keeps for one slot: its textures and where the frames go in them, the
// luma key's table, and its copy of the slot's blend mode. Frame thread, except `additive`,
// which the main thread sets.
struct GlLayer {
    static constexpr int kFieldOfView = 65;

    int frameWidth = 0; // the frame size the textures were made for
    int frameHeight = 0;
    GLuint flatTexture = 0;
    GLuint tileTexture = 0;
    GLuint uploadedTexture = 0; // the texture the last frame went into; 0 before any
    TextureLayout layout;
    int fieldOfView = kFieldOfView;
    std::atomic<bool> additive = false; // Burn
    LumaCache luma;
    bool oversizeReported = false; // a frame too large for the textures was reported
};

// Context current. A square texture of edge texels for a slot's frames, with an alpha channel
// when the slot is keyed or stencilled; nearest filtering, repeating. Its texels are set by
// the uploads.
GLuint makeLayerTexture(int edge, bool withAlpha);
void deleteLayerTextures(GlLayer& layer);

} // namespace oskel
