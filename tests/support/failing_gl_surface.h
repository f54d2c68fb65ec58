#pragma once

#include "platform/gl/gl_surface.h"

namespace oskel::test {

// A drawing surface whose context never becomes current, as on a display that refuses
// OpenGL: nothing can be drawn on it or read from it.
class FailingGlSurface final : public GlSurface {
public:
    bool makeCurrent() override { return false; }
    void doneCurrent() override { }
    void swapBuffers() override { }
    int width() const override { return 64; }
    int height() const override { return 48; }
    Proc procAddress(const char*) const override { return nullptr; }
    GlSurfaceResult createSharedSurface(int, int) override { return { nullptr, "none" }; }
};

} // namespace oskel::test
