#include "render/gl/framebuffer_functions.h"

#include <cstdlib>
#include <string>

namespace oskel {

namespace {

template <typename Function>
void load(const GlSurface& surface, Function& function, const char* name, const char* suffix)
{
    function
        = reinterpret_cast<Function>(surface.procAddress((std::string(name) + suffix).c_str()));
}

FramebufferFunctions loadWithSuffix(const GlSurface& surface, const char* suffix)
{
    FramebufferFunctions f;
    load(surface, f.genFramebuffers, "glGenFramebuffers", suffix);
    load(surface, f.deleteFramebuffers, "glDeleteFramebuffers", suffix);
    load(surface, f.bindFramebuffer, "glBindFramebuffer", suffix);
    load(surface, f.framebufferTexture2D, "glFramebufferTexture2D", suffix);
    load(surface, f.checkFramebufferStatus, "glCheckFramebufferStatus", suffix);
    load(surface, f.genRenderbuffers, "glGenRenderbuffers", suffix);
    load(surface, f.deleteRenderbuffers, "glDeleteRenderbuffers", suffix);
    load(surface, f.bindRenderbuffer, "glBindRenderbuffer", suffix);
    load(surface, f.renderbufferStorage, "glRenderbufferStorage", suffix);
    load(surface, f.framebufferRenderbuffer, "glFramebufferRenderbuffer", suffix);
    return f;
}

bool offersExtension(const char* name)
{
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions == nullptr) {
        return false;
    }
    const std::string list = std::string(" ") + extensions + " ";
    return list.find(std::string(" ") + name + " ") != std::string::npos;
}

} // namespace

bool FramebufferFunctions::complete() const
{
    return genFramebuffers && deleteFramebuffers && bindFramebuffer && framebufferTexture2D
        && checkFramebufferStatus && genRenderbuffers && deleteRenderbuffers && bindRenderbuffer
        && renderbufferStorage && framebufferRenderbuffer;
}

FramebufferFunctions loadFramebufferFunctions(const GlSurface& surface)
{
    // Entry points may resolve whatever the context offers, so the version decides.
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version != nullptr && std::atoi(version) >= 3) {
        FramebufferFunctions core = loadWithSuffix(surface, "");
        if (core.complete()) {
            return core;
        }
    }
    if (offersExtension("GL_ARB_framebuffer_object")) {
        return loadWithSuffix(surface, "");
    }
    if (offersExtension("GL_EXT_framebuffer_object")) {
        return loadWithSuffix(surface, "EXT");
    }
    return {};
}

} // namespace oskel
