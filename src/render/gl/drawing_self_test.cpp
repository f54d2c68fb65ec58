#include "render/gl/drawing_self_test.h"

#include <array>
#include <cstdint>

#include <GL/gl.h>

namespace oskel {

namespace {

constexpr int kTestEdge = 64;

void clearToMagenta()
{
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::string pixelText(const std::array<std::uint8_t, 12>& rgb)
{
    return std::to_string(rgb[0]) + ", " + std::to_string(rgb[1]) + ", " + std::to_string(rgb[2]);
}

} // namespace

DrawingSelfTestResult runDrawingSelfTest(GlSurface& surface)
{
    if (!surface.makeCurrent()) {
        return { false, "its drawing context cannot be made current" };
    }
    glViewport(0, 0, kTestEdge, kTestEdge);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, kTestEdge, 0.0, kTestEdge, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    clearToMagenta();
    surface.swapBuffers();
    clearToMagenta();
    glFinish();
    std::array<std::uint8_t, 12> rgb {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 4, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glFinish();
    const GLenum error = glGetError();
    surface.doneCurrent();
    if (error != GL_NO_ERROR) {
        return { false,
            "a picture drawn into it cannot be read back (OpenGL error " + std::to_string(error)
                + ")" };
    }
    if (rgb[0] != 255 || rgb[1] != 0 || rgb[2] != 255) {
        return { false, "magenta drawn into it reads back as " + pixelText(rgb) };
    }
    return { true, {} };
}

} // namespace oskel
