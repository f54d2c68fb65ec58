#pragma once

#include <GL/gl.h>

#include "platform/gl/gl_surface.h"

namespace oskel {

// The framebuffer-object entry points (OpenGL 3.0, or the EXT extension of older drivers),
// taken from the surface's context.
struct FramebufferFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;

    bool complete() const;
};

// Context current. Incomplete when the driver offers no framebuffer objects.
FramebufferFunctions loadFramebufferFunctions(const GlSurface& surface);

} // namespace oskel
