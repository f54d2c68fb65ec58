#pragma once

#include <GL/gl.h>

#include "platform/bitmap_file.h"

namespace oskel {

// Whole-picture drawing of the output: showing the composed picture on a surface, carrying
// it over into the next frame and fading it for the trails. Context current; each leaves the
// model-view matrix as it found it, and texturing and the alpha test on.

// A part of a picture in texture coordinates (0..1, from the bottom left).
struct PictureArea {
    float left = 0.0f;
    float bottom = 0.0f;
    float right = 1.0f;
    float top = 1.0f;
};

// Draws the area of texture over the whole of a viewport of width x height at (0, 0), opaque;
// texel for texel when the sizes match. The viewport is left at that size.
void drawPicture(GLuint texture, const PictureArea& area, int width, int height);

// Darkens what is in the current viewport towards black by alpha (0..1), in the composition's
// projection: the result is the old picture x (1 - alpha), as blending rounds it.
void fadeForTrails(float alpha);

// A texture of the picture, filtered linearly; 0 when the driver refuses it (too large).
GLuint makePictureTexture(const ColourBitmap& picture);

// The loading picture over the whole composition area (in the composition's projection).
void drawLoadingPicture(GLuint texture);

} // namespace oskel
