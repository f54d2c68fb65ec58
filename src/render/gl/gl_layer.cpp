#include "render/gl/gl_layer.h"

#include "render/gl/texture_sampling.h"

namespace oskel {

GLuint makeLayerTexture(int edge, bool withAlpha)
{
    if (edge <= 0) {
        return 0;
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    setTextureSampling(GL_NEAREST, GL_REPEAT);
    const GLenum format = withAlpha ? GL_BGRA : GL_BGR;
    glTexImage2D(GL_TEXTURE_2D, 0, withAlpha ? GL_RGBA8 : GL_RGB8, edge, edge, 0, format,
        GL_UNSIGNED_BYTE, nullptr);
    return texture;
}

void deleteLayerTextures(GlLayer& layer)
{
    const GLuint textures[] = { layer.flatTexture, layer.tileTexture };
    glDeleteTextures(2, textures);
    layer.flatTexture = 0;
    layer.tileTexture = 0;
    layer.uploadedTexture = 0;
}

} // namespace oskel
