#include "render/gl/picture_drawing.h"

#include "render/gl/texture_sampling.h"
#include "render/viewport_fit.h"

namespace oskel {

namespace {

void texturedQuad(GLfloat x0, GLfloat y0, GLfloat x1, GLfloat y1, const PictureArea& area = {})
{
    glBegin(GL_QUADS);
    glTexCoord2f(area.left, area.bottom);
    glVertex2f(x0, y0);
    glTexCoord2f(area.right, area.bottom);
    glVertex2f(x1, y0);
    glTexCoord2f(area.right, area.top);
    glVertex2f(x1, y1);
    glTexCoord2f(area.left, area.top);
    glVertex2f(x0, y1);
    glEnd();
}

} // namespace

void drawPicture(GLuint texture, const PictureArea& area, int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, texture);
    texturedQuad(0.0f, 0.0f, 1.0f, 1.0f, area);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void fadeForTrails(float alpha)
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glColor4f(0.0f, 0.0f, 0.0f, alpha);
    glBegin(GL_QUADS);
    glVertex3f(0.0f, 0.0f, 1.0f);
    glVertex3f(float(kCompositionWidth), 0.0f, 1.0f);
    glVertex3f(float(kCompositionWidth), float(kCompositionHeight), 1.0f);
    glVertex3f(0.0f, float(kCompositionHeight), 1.0f);
    glEnd();
    glEnable(GL_TEXTURE_2D);
}

GLuint makePictureTexture(const ColourBitmap& picture)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    setTextureSampling(GL_LINEAR, GL_CLAMP_TO_EDGE);
    while (glGetError() != GL_NO_ERROR) { }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, picture.width, picture.height, 0, GL_BGR,
        GL_UNSIGNED_BYTE, picture.pixels.data());
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &texture);
        texture = 0;
    }
    return texture;
}

void drawLoadingPicture(GLuint texture)
{
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    texturedQuad(0.0f, 0.0f, float(kCompositionWidth), float(kCompositionHeight));
}

} // namespace oskel
