#include "ui/qt_gl_surface.h"

#include <QEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QThread>
#include <QWindow>

namespace oskel {

namespace {

QSurfaceFormat outputFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(16);
    format.setStencilBufferSize(0);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    return format;
}

} // namespace

GlSurfaceResult QtGlSurface::create(QWindow& window, const QtGlSurface* shareWith)
{
    if (window.handle() == nullptr || window.surfaceType() != QSurface::OpenGLSurface) {
        // The surface type is fixed when the native window is made: make it again.
        const bool visible = window.isVisible();
        window.destroy();
        window.setSurfaceType(QSurface::OpenGLSurface);
        window.setFormat(outputFormat());
        window.create();
        window.setVisible(visible);
    }
    if (window.handle() == nullptr) {
        return { nullptr, "No OpenGL drawing surface: the window cannot be made" };
    }
    auto context = std::make_unique<QOpenGLContext>();
    QSurfaceFormat format = window.requestedFormat();
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    context->setFormat(format);
    if (shareWith != nullptr) {
        context->setShareContext(shareWith->m_context.get());
    }
    if (!context->create()) {
        return { nullptr, "No OpenGL drawing surface: no OpenGL context for the window" };
    }
    if (shareWith != nullptr && context->shareContext() == nullptr) {
        return { nullptr, "No OpenGL drawing surface: the second output cannot share textures" };
    }
    if (!context->makeCurrent(&window)) {
        return { nullptr, "No OpenGL drawing surface: the OpenGL context cannot be made current" };
    }
    context->doneCurrent();
    // Owned by no thread until a thread makes it current (see makeCurrent).
    context->moveToThread(nullptr);
    return { std::unique_ptr<QtGlSurface>(new QtGlSurface(window, std::move(context), nullptr)),
        {} };
}

QtGlSurface::QtGlSurface(
    QWindow& window, std::unique_ptr<QOpenGLContext> context, std::unique_ptr<QWindow> ownedWindow)
    : m_ownedWindow(std::move(ownedWindow))
    , m_window(&window)
    , m_context(std::move(context))
{
}

QtGlSurface::~QtGlSurface()
{
    if (m_context->thread() == nullptr) {
        m_context->moveToThread(QThread::currentThread());
    }
    m_context.reset();
}

bool QtGlSurface::makeCurrent()
{
    // A QOpenGLContext is made current only on the thread it belongs to: take it over when
    // the previous thread gave it up.
    QThread* here = QThread::currentThread();
    if (m_context->thread() != here) {
        if (m_context->thread() != nullptr) {
            return false;
        }
        m_context->moveToThread(here);
    }
    return m_context->makeCurrent(m_window);
}

void QtGlSurface::doneCurrent()
{
    if (m_context->thread() == QThread::currentThread()) {
        m_context->doneCurrent();
        m_context->moveToThread(nullptr);
    }
}

void QtGlSurface::swapBuffers()
{
    if (m_window->isExposed()) {
        m_context->swapBuffers(m_window);
    }
}

int QtGlSurface::width() const
{
    return int(m_window->width() * m_window->devicePixelRatio());
}

int QtGlSurface::height() const
{
    return int(m_window->height() * m_window->devicePixelRatio());
}

GlSurface::Proc QtGlSurface::procAddress(const char* name) const
{
    return m_context->getProcAddress(name);
}

GlSurfaceResult QtGlSurface::createSharedSurface(int width, int height)
{
    auto window = std::make_unique<QWindow>();
    window->resize(width, height);
    GlSurfaceResult result = create(*window, this);
    if (result.surface) {
        static_cast<QtGlSurface&>(*result.surface).m_ownedWindow = std::move(window);
    }
    return result;
}

} // namespace oskel
