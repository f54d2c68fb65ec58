#pragma once

#include <string>

#include "platform/gl/gl_surface.h"

namespace oskel {

// Whether a surface shows what is drawn into it: the surface is cleared to magenta, swapped,
// cleared again and read back; it passes when the first pixel reads magenta. `problem` says
// why it failed. Main thread, with no context current (none is current afterwards).
struct DrawingSelfTestResult {
    bool passed = false;
    std::string problem;
};
DrawingSelfTestResult runDrawingSelfTest(GlSurface& surface);

} // namespace oskel
