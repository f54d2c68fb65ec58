#include "render/gl/composition_target.h"

#include "platform/gl/gl_read_back.h"
#include "render/gl/texture_sampling.h"

namespace oskel {

bool CompositionTarget::create(const FramebufferFunctions& functions, int width, int height,
    FrameSize scaledCopy, std::string& error)
{
    destroy();
    if (!functions.complete()) {
        error = "the OpenGL driver offers no framebuffer objects";
        return false;
    }
    m_functions = functions;
    m_width = width;
    m_height = height;
    m_functions.genRenderbuffers(1, &m_depth);
    m_functions.bindRenderbuffer(GL_RENDERBUFFER, m_depth);
    m_functions.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glGenTextures(2, m_textures.data());
    m_functions.genFramebuffers(2, m_framebuffers.data());
    for (std::size_t picture = 0; picture < 2; ++picture) {
        glBindTexture(GL_TEXTURE_2D, m_textures[picture]);
        setTextureSampling(GL_NEAREST, GL_CLAMP_TO_EDGE);
        glTexImage2D(
            GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        m_functions.bindFramebuffer(GL_FRAMEBUFFER, m_framebuffers[picture]);
        m_functions.framebufferTexture2D(
            GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_textures[picture], 0);
        m_functions.framebufferRenderbuffer(
            GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depth);
        if (m_functions.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            error = "the OpenGL driver cannot draw into a 24-bit picture with a depth buffer";
            destroy();
            return false;
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    if (scaledCopy.width > 0 && scaledCopy.height > 0 && !createCopy(scaledCopy, error)) {
        destroy();
        return false;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    m_composing = 0;
    m_presented = 0;
    m_ready = true;
    bindComposing();
    return true;
}

bool CompositionTarget::createCopy(FrameSize size, std::string& error)
{
    glGenTextures(1, &m_copyTexture);
    m_functions.genFramebuffers(1, &m_copyFramebuffer);
    glBindTexture(GL_TEXTURE_2D, m_copyTexture);
    setTextureSampling(GL_NEAREST, GL_CLAMP_TO_EDGE);
    glTexImage2D(
        GL_TEXTURE_2D, 0, GL_RGB8, size.width, size.height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    m_functions.bindFramebuffer(GL_FRAMEBUFFER, m_copyFramebuffer);
    m_functions.framebufferTexture2D(
        GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_copyTexture, 0);
    if (m_functions.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "the OpenGL driver cannot draw into a 24-bit picture";
        return false;
    }
    m_copySize = size;
    return true;
}

void CompositionTarget::destroy()
{
    if (m_functions.complete()) {
        m_functions.bindFramebuffer(GL_FRAMEBUFFER, 0);
        m_functions.deleteFramebuffers(2, m_framebuffers.data());
        m_functions.deleteRenderbuffers(1, &m_depth);
        m_functions.deleteFramebuffers(1, &m_copyFramebuffer);
    }
    glDeleteTextures(2, m_textures.data());
    glDeleteTextures(1, &m_copyTexture);
    m_framebuffers = {};
    m_textures = {};
    m_depth = 0;
    m_copyFramebuffer = 0;
    m_copyTexture = 0;
    m_copySize = {};
    m_ready = false;
}

void CompositionTarget::bindSurface() const
{
    if (m_ready) {
        m_functions.bindFramebuffer(GL_FRAMEBUFFER, 0);
    }
}

void CompositionTarget::bind(std::size_t picture) const
{
    if (m_ready) {
        m_functions.bindFramebuffer(GL_FRAMEBUFFER, m_framebuffers[picture]);
    }
}

void CompositionTarget::composeInOther()
{
    m_composing = 1 - m_composing;
    bindComposing();
}

bool CompositionTarget::readPresented(std::uint8_t* bgr, std::size_t size) const
{
    if (!m_ready) {
        return false;
    }
    bind(m_presented);
    const bool read = readBgrTopRowFirst(m_width, m_height, bgr, size);
    bindComposing();
    return read;
}

bool CompositionTarget::readPresentedScaled(
    std::uint8_t* bgr, std::size_t size, const ScaledDrawing& draw) const
{
    if (!m_ready || m_copyFramebuffer == 0) {
        return false;
    }
    m_functions.bindFramebuffer(GL_FRAMEBUFFER, m_copyFramebuffer);
    draw(m_textures[m_presented], m_copySize.width, m_copySize.height);
    const bool read = readBgrTopRowFirst(m_copySize.width, m_copySize.height, bgr, size);
    bindComposing();
    return read;
}

} // namespace oskel
