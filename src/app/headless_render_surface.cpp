#include "app/render_surface.h"
#include "platform/gl/egl_surface.h"
#include "render/gl/gl_renderer.h"

namespace oskel {

namespace {

class HeadlessRenderSurface final : public RenderSurface {
public:
    explicit HeadlessRenderSurface(std::unique_ptr<GlSurface> surface)
        : m_surface(std::move(surface))
    {
    }

    RendererChoice makeRenderer(Performance& performance, MainThreadDispatcher& mainThread) override
    {
        auto renderer = std::make_unique<GlRenderer>(performance, *m_surface, mainThread);
        RendererPort* port = renderer.get();
        return RendererChoice { std::move(renderer), port };
    }

private:
    // Outlives the renderer, which the instrument holds: the render surface is made first.
    std::unique_ptr<GlSurface> m_surface;
};

} // namespace

std::unique_ptr<RenderSurface> openHeadlessRenderSurface(std::string& problem)
{
    // A render reads its pictures from the compositor's own target; the surface is never
    // seen, so the picture drawn onto it each frame is kept to a single pixel.
    GlSurfaceResult made = createEglSurface(1, 1);
    if (!made.surface) {
        problem = made.error;
        return nullptr;
    }
    return std::make_unique<HeadlessRenderSurface>(std::move(made.surface));
}

} // namespace oskel
