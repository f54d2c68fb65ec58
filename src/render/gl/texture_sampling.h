#pragma once

#include <GL/gl.h>

namespace oskel {

// Filtering and wrapping of the bound 2D texture. Context current.
inline void setTextureSampling(GLint filter, GLint wrap)
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
}

} // namespace oskel
