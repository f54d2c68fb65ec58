#pragma once

#include <memory>
#include <string>

namespace oskel {

class GlSurface;

// A drawing surface, or the reason there is none (in the system's own words).
struct GlSurfaceResult {
    std::unique_ptr<GlSurface> surface;
    std::string error; // set when surface is null
};

// An OpenGL compatibility context (OpenGL 1.x: immediate-mode drawing, the matrix stacks,
// the alpha test; GLU works on it) together with the picture it draws into. The context is
// current on one thread at a time: the thread that makes it current releases it before
// another thread makes it current.
class GlSurface {
public:
    using Proc = void (*)();

    virtual ~GlSurface() = default;

    // Makes the context current on the calling thread; false when that failed.
    virtual bool makeCurrent() = 0;
    // Releases the context from the calling thread.
    virtual void doneCurrent() = 0;
    // Shows what was drawn into the surface's own framebuffer. Context current.
    virtual void swapBuffers() = 0;
    // The size of the surface's own framebuffer in pixels.
    virtual int width() const = 0;
    virtual int height() const = 0;
    // An OpenGL entry point beyond 1.1 by name (framebuffer objects), or null when the
    // context does not offer it.
    virtual Proc procAddress(const char* name) const = 0;

    // A surface of its own whose context shares this one's textures, for a second output.
    virtual GlSurfaceResult createSharedSurface(int width, int height) = 0;
};

} // namespace oskel
