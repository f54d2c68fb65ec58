#include "platform/gl/gl_read_back.h"

#include <algorithm>

#include <GL/gl.h>

namespace oskel {

bool readBgrTopRowFirst(int width, int height, std::uint8_t* bgr, std::size_t size)
{
    if (width <= 0 || height <= 0 || bgr == nullptr) {
        return false;
    }
    const std::size_t rowBytes = std::size_t(width) * 3;
    if (size < rowBytes * std::size_t(height)) {
        return false;
    }
    while (glGetError() != GL_NO_ERROR) { }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, bgr);
    // OpenGL reads the bottom row first.
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(bgr + std::size_t(top) * rowBytes, bgr + std::size_t(top + 1) * rowBytes,
            bgr + std::size_t(bottom) * rowBytes);
    }
    return glGetError() == GL_NO_ERROR;
}

} // namespace oskel
