#pragma once

#include <memory>
#include <string>

#include "app/instrument.h"

namespace oskel {

// What a render draws on without a window. Opened before the instrument is made (it may not
// be there at all); the renderer is made on it once the instrument's performance state exists.
class RenderSurface {
public:
    virtual ~RenderSurface() = default;
    // Called once.
    virtual RendererChoice makeRenderer(Performance& performance, MainThreadDispatcher& mainThread)
        = 0;
};

// The headless OpenGL surface and the compositor drawing on it; null with the reason when no
// drawing context can be made.
std::unique_ptr<RenderSurface> openHeadlessRenderSurface(std::string& problem);

} // namespace oskel
