#include "platform/gl/egl_surface.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The X11 types are not wanted: every display here is headless.
#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include "platform/gl/gl_read_back.h"

namespace oskel {

struct EglSurface::Handles {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

namespace {

constexpr int kColourBits = 8;
constexpr int kMinDepthBits = 16;
constexpr int kMaxSide = 8192;

std::string eglErrorText(std::string_view what)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string(what) + " (EGL error " + code + ")";
}

bool hasExtension(const char* list, std::string_view name)
{
    if (list == nullptr) {
        return false;
    }
    std::string_view rest(list);
    while (!rest.empty()) {
        const std::size_t end = rest.find(' ');
        if (rest.substr(0, end) == name) {
            return true;
        }
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    return false;
}

// The headless displays to try, best first: Mesa's surfaceless platform, the first EGL
// device, the default display.
std::vector<EGLDisplay> candidateDisplays()
{
    std::vector<EGLDisplay> displays;
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay != nullptr) {
        if (hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
            displays.push_back(
                getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr));
        }
        const auto queryDevices
            = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
        EGLDeviceEXT device = nullptr;
        EGLint deviceCount = 0;
        if (hasExtension(clientExtensions, "EGL_EXT_platform_device") && queryDevices != nullptr
            && queryDevices(1, &device, &deviceCount) && deviceCount > 0) {
            displays.push_back(getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr));
        }
    }
    displays.push_back(eglGetDisplay(EGL_DEFAULT_DISPLAY));
    std::erase(displays, EGL_NO_DISPLAY);
    return displays;
}

EGLint configAttribute(EGLDisplay display, EGLConfig config, EGLint attribute)
{
    EGLint value = 0;
    eglGetConfigAttrib(display, config, attribute, &value);
    return value;
}

// A pbuffer configuration for desktop OpenGL with exactly 8 bits per colour channel and at
// least 16 depth bits, preferring no alpha and the shallowest depth.
EGLConfig chooseConfig(EGLDisplay display)
{
    const EGLint wanted[] = { EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
        EGL_OPENGL_BIT, EGL_RED_SIZE, kColourBits, EGL_GREEN_SIZE, kColourBits, EGL_BLUE_SIZE,
        kColourBits, EGL_DEPTH_SIZE, kMinDepthBits, EGL_NONE };
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, nullptr, 0, &count) || count <= 0) {
        return nullptr;
    }
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    eglChooseConfig(display, wanted, configs.data(), count, &count);
    EGLConfig best = nullptr;
    EGLint bestScore = 0;
    for (EGLConfig config : configs) {
        const bool exactColour = configAttribute(display, config, EGL_RED_SIZE) == kColourBits
            && configAttribute(display, config, EGL_GREEN_SIZE) == kColourBits
            && configAttribute(display, config, EGL_BLUE_SIZE) == kColourBits;
        if (!exactColour) {
            continue;
        }
        const EGLint score = configAttribute(display, config, EGL_DEPTH_SIZE)
            + configAttribute(display, config, EGL_ALPHA_SIZE) * 2;
        if (best == nullptr || score < bestScore) {
            best = config;
            bestScore = score;
        }
    }
    return best;
}

EGLContext createContext(EGLDisplay display, EGLConfig config, EGLContext share)
{
    const EGLint compatibility[] = { EGL_CONTEXT_OPENGL_PROFILE_MASK,
        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE };
    EGLContext context = eglCreateContext(display, config, share, compatibility);
    if (context == EGL_NO_CONTEXT) {
        // EGL before 1.5 without the profile attribute: the default context is a legacy one.
        context = eglCreateContext(display, config, share, nullptr);
    }
    return context;
}

void destroy(EglSurface::Handles& handles)
{
    if (handles.context != EGL_NO_CONTEXT) {
        if (eglGetCurrentContext() == handles.context) {
            eglMakeCurrent(handles.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        }
        eglDestroyContext(handles.display, handles.context);
        handles.context = EGL_NO_CONTEXT;
    }
    if (handles.surface != EGL_NO_SURFACE) {
        eglDestroySurface(handles.display, handles.surface);
        handles.surface = EGL_NO_SURFACE;
    }
    // The display is not terminated: it is shared by every surface of the process and stays
    // until the process ends.
}

// A pbuffer and a context on an initialised display. The context is tried once current, so
// that a driver that cannot draw is found here and not at the first frame.
GlSurfaceResult makeSurface(
    EGLDisplay display, EGLConfig config, EGLContext share, int width, int height)
{
    auto handles = std::make_unique<EglSurface::Handles>();
    handles->display = display;
    handles->config = config;
    const EGLint size[] = { EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE };
    handles->surface = eglCreatePbufferSurface(display, config, size);
    if (handles->surface == EGL_NO_SURFACE) {
        return { nullptr, eglErrorText("no offscreen picture of that size") };
    }
    handles->context = createContext(display, config, share);
    if (handles->context == EGL_NO_CONTEXT) {
        std::string error = eglErrorText("no OpenGL context");
        destroy(*handles);
        return { nullptr, error };
    }
    const EGLContext previousContext = eglGetCurrentContext();
    const EGLSurface previousDraw = eglGetCurrentSurface(EGL_DRAW);
    const EGLSurface previousRead = eglGetCurrentSurface(EGL_READ);
    const bool current
        = eglMakeCurrent(display, handles->surface, handles->surface, handles->context);
    const bool drawable = current && glGetString(GL_VERSION) != nullptr;
    std::string error = current ? "" : eglErrorText("the OpenGL context cannot be made current");
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (previousContext != EGL_NO_CONTEXT) {
        eglMakeCurrent(eglGetCurrentDisplay(), previousDraw, previousRead, previousContext);
    }
    if (!drawable) {
        destroy(*handles);
        return { nullptr, error.empty() ? "the OpenGL context does not draw" : error };
    }
    return { std::make_unique<EglSurface>(std::move(handles), width, height), {} };
}

GlSurfaceResult surfaceOn(EGLDisplay display, int width, int height)
{
    EGLint major = 0;
    EGLint minor = 0;
    if (!eglInitialize(display, &major, &minor)) {
        return { nullptr, eglErrorText("the display cannot be initialised") };
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        return { nullptr, eglErrorText("desktop OpenGL is not offered") };
    }
    EGLConfig config = chooseConfig(display);
    if (config == nullptr) {
        return { nullptr, "no 24-bit offscreen picture format with a depth buffer" };
    }
    return makeSurface(display, config, EGL_NO_CONTEXT, width, height);
}

bool validSize(int width, int height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

} // namespace

GlSurfaceResult createEglSurface(int width, int height)
{
    if (!validSize(width, height)) {
        return { nullptr, "No OpenGL drawing surface: unusable size" };
    }
    std::string reasons;
    for (EGLDisplay display : candidateDisplays()) {
        GlSurfaceResult result = surfaceOn(display, width, height);
        if (result.surface) {
            return result;
        }
        reasons += (reasons.empty() ? "" : "; ") + result.error;
    }
    if (reasons.empty()) {
        reasons = "no EGL display";
    }
    return { nullptr, "No OpenGL drawing surface: " + reasons };
}

EglSurface::EglSurface(std::unique_ptr<Handles> handles, int width, int height)
    : m_handles(std::move(handles))
    , m_width(width)
    , m_height(height)
{
}

EglSurface::~EglSurface()
{
    eglBindAPI(EGL_OPENGL_API);
    destroy(*m_handles);
}

bool EglSurface::makeCurrent()
{
    // The client API is chosen per thread; the frame thread may not have chosen one yet.
    eglBindAPI(EGL_OPENGL_API);
    return eglMakeCurrent(
        m_handles->display, m_handles->surface, m_handles->surface, m_handles->context);
}

void EglSurface::doneCurrent()
{
    eglBindAPI(EGL_OPENGL_API);
    if (eglGetCurrentContext() == m_handles->context) {
        eglMakeCurrent(m_handles->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
}

void EglSurface::swapBuffers()
{
    eglSwapBuffers(m_handles->display, m_handles->surface);
}

GlSurface::Proc EglSurface::procAddress(const char* name) const
{
    return eglGetProcAddress(name);
}

GlSurfaceResult EglSurface::createSharedSurface(int width, int height)
{
    if (!validSize(width, height)) {
        return { nullptr, "No OpenGL drawing surface: unusable size" };
    }
    GlSurfaceResult result
        = makeSurface(m_handles->display, m_handles->config, m_handles->context, width, height);
    if (!result.surface) {
        result.error = "No OpenGL drawing surface: " + result.error;
    }
    return result;
}

bool EglSurface::readPicture(std::uint8_t* bgr, std::size_t size) const
{
    // The surface's own framebuffer, even while a framebuffer object is bound for drawing.
    const auto bindFramebuffer
        = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(procAddress("glBindFramebuffer"));
    GLint boundForReading = 0;
    if (bindFramebuffer != nullptr) {
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &boundForReading);
        bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    }
    const bool read = readBgrTopRowFirst(m_width, m_height, bgr, size);
    if (bindFramebuffer != nullptr) {
        bindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(boundForReading));
    }
    return read;
}

} // namespace oskel
