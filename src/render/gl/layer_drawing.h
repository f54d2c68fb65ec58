#pragma once

#include "core/slot_record.h"
#include "render/gl/gl_layer.h"

namespace oskel {

// Drawing one slot's layer from its textures into the current context, in the composition's
// orthographic projection. Frame thread.

// How the layer meets what is below: opaque layers replace it (depth test on, no blending);
// a layer with opacity, luma key or stencil is blended, added when additive (Burn), at
// alpha 1 - AlphaLevel / 256.
void ApplyLayerState(const TPlayAvistruct& snapshot, bool additive);

// The layer as one rectangle at the snapshot's position, at depth z, the frame's bottom row
// along its bottom edge.
void DrawFlatLayer(const TPlayAvistruct& snapshot, const GlLayer& layer, bool additive, double z);

// The layer as a perspective grid of tiles. Turns the live record's rotations by their speeds
// (degrees per 40 ms) x stepFactor first, when stepFactor is at least 1. aspect is the
// output's width / height.
void DrawTiledLayer(const TPlayAvistruct& snapshot, TPlayAvistruct& live, const GlLayer& layer,
    bool additive, double stepFactor, double aspect);

} // namespace oskel
