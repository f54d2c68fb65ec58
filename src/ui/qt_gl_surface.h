#pragma once

#include <memory>

#include "platform/gl/gl_surface.h"

class QOpenGLContext;
class QWindow;

namespace oskel {

// A window's drawing surface through Qt: a QOpenGLContext (OpenGL compatibility profile,
// 24-bit colour, depth buffer, double-buffered) drawing into a QWindow. The context is made
// on the main thread and may be made current on the frame thread: releasing it also gives up
// the thread that owns it, so that the next thread to make it current can take it over.
class QtGlSurface final : public GlSurface {
public:
    // window: an OpenGL window (surface type QSurface::OpenGLSurface) that outlives the
    // surface. shareWith: a surface whose textures the new context shares, or null.
    // Main thread. Never throws: when no context can be made, the result says why.
    static GlSurfaceResult create(QWindow& window, const QtGlSurface* shareWith = nullptr);

    ~QtGlSurface() override;
    QtGlSurface(const QtGlSurface&) = delete;
    QtGlSurface& operator=(const QtGlSurface&) = delete;

    bool makeCurrent() override;
    void doneCurrent() override;
    void swapBuffers() override;
    int width() const override;
    int height() const override;
    Proc procAddress(const char* name) const override;
    // A new top-level window of width x height (not shown yet) with a sharing context.
    GlSurfaceResult createSharedSurface(int width, int height) override;

    QWindow& window() const { return *m_window; }

private:
    QtGlSurface(QWindow& window, std::unique_ptr<QOpenGLContext> context,
        std::unique_ptr<QWindow> ownedWindow);

    std::unique_ptr<QWindow> m_ownedWindow; // set when this surface made its window
    QWindow* m_window = nullptr;
    std::unique_ptr<QOpenGLContext> m_context;
};

} // namespace oskel
