#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include <GL/gl.h>

#include "core/frame_size.h"
#include "render/gl/framebuffer_functions.h"

namespace oskel {

// The output is composed off screen in one of two pictures of the display area (colour
// textures in framebuffer objects, with one shared depth buffer). Presenting shows the
// composed picture and the next frame starts in the other one, from a copy of it when trails
// are on. So trails, and the picture read back, do not depend on what a surface keeps of its
// back buffer after a swap. Every call needs the context current.
class CompositionTarget {
public:
    CompositionTarget() = default;
    CompositionTarget(const CompositionTarget&) = delete;
    CompositionTarget& operator=(const CompositionTarget&) = delete;

    // False, with the reason in error, when the framebuffers cannot be made. A scaledCopy size
    // other than 0 x 0 also makes a picture of that size for readPresentedScaled.
    bool create(const FramebufferFunctions& functions, int width, int height, FrameSize scaledCopy,
        std::string& error);
    void destroy();
    bool ready() const { return m_ready; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // Draw into the picture being composed.
    void bindComposing() const { bind(m_composing); }
    // Draw into the surface's own framebuffer.
    void bindSurface() const;
    GLuint composingTexture() const { return m_textures[m_composing]; }
    GLuint presentedTexture() const { return m_textures[m_presented]; }

    // The composed picture is the one shown now.
    void markComposingPresented() { m_presented = m_composing; }
    // Composing moves on to the other picture (bound for drawing).
    void composeInOther();

    // Copies the picture shown last: width x height blue-green-red pixels, top row first.
    bool readPresented(std::uint8_t* bgr, std::size_t size) const;
    // Draws the picture shown last into the scaled copy with `draw` (given the picture, and the
    // copy's width and height) and reads that like readPresented. False without a copy.
    using ScaledDrawing = std::function<void(GLuint picture, int width, int height)>;
    bool readPresentedScaled(std::uint8_t* bgr, std::size_t size, const ScaledDrawing& draw) const;

private:
    void bind(std::size_t picture) const;
    bool createCopy(FrameSize size, std::string& error);

    FramebufferFunctions m_functions;
    std::array<GLuint, 2> m_framebuffers {};
    std::array<GLuint, 2> m_textures {};
    GLuint m_depth = 0;
    GLuint m_copyFramebuffer = 0;
    GLuint m_copyTexture = 0;
    FrameSize m_copySize;
    std::size_t m_composing = 0;
    std::size_t m_presented = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_ready = false;
};

} // namespace oskel
