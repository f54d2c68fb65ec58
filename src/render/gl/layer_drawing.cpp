#include "render/gl/layer_drawing.h"

#include <GL/glu.h>

#include "render/tile_grid.h"
#include "render/viewport_fit.h"

namespace oskel {

namespace {

constexpr double kNear = 1.0;
constexpr double kFar = 100.0;

bool isBlended(const TPlayAvistruct& snapshot)
{
    return snapshot.Alpha || snapshot.LumaKey || snapshot.StencilEnabled;
}

void advanceRotations(const TPlayAvistruct& snapshot, TPlayAvistruct& live, double stepFactor)
{
    if (stepFactor < 1.0) {
        return;
    }
    live.XRot = live.XRot - snapshot.XRotSpeed * stepFactor;
    live.YRot = live.YRot - snapshot.YRotSpeed * stepFactor;
    live.ZRot = live.ZRot - snapshot.ZRotSpeed * stepFactor;
}

void tileQuad()
{
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glEnd();
}

} // namespace

void ApplyLayerState(const TPlayAvistruct& snapshot, bool additive)
{
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const float alpha = 1.0f - float(snapshot.AlphaLevel) / 256.0f;
    if (isBlended(snapshot)) {
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(1.0f, 1.0f, 1.0f, alpha);
    } else {
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
}

void DrawFlatLayer(const TPlayAvistruct& snapshot, const GlLayer& layer, bool additive, double z)
{
    ApplyLayerState(snapshot, additive);
    const double x0 = snapshot.Left;
    const double y0 = double(kCompositionHeight) - snapshot.Bottom;
    const double x1 = x0 + (snapshot.Right - snapshot.Left);
    const double y1 = y0 + (snapshot.Bottom - snapshot.Top);
    glBindTexture(GL_TEXTURE_2D, layer.flatTexture);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3d(x0, y0, z);
    glTexCoord2f(layer.layout.sMax, 0.0f);
    glVertex3d(x1, y0, z);
    glTexCoord2f(layer.layout.sMax, layer.layout.tMax);
    glVertex3d(x1, y1, z);
    glTexCoord2f(0.0f, layer.layout.tMax);
    glVertex3d(x0, y1, z);
    glEnd();
}

void DrawTiledLayer(const TPlayAvistruct& snapshot, TPlayAvistruct& live, const GlLayer& layer,
    bool additive, double stepFactor, double aspect)
{
    ApplyLayerState(snapshot, additive);
    advanceRotations(snapshot, live, stepFactor);
    const double xRot = live.XRot;
    const double yRot = live.YRot;
    const double zRot = live.ZRot;

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(layer.fieldOfView, aspect, kNear, kFar);

    const TileGrid grid
        = layOutTiles(snapshot.HorzTiles, snapshot.VertTiles, snapshot.ArraySpacing);
    glMatrixMode(GL_MODELVIEW);
    glBindTexture(GL_TEXTURE_2D, layer.tileTexture);
    for (int index = 0; index < grid.count; ++index) {
        const TilePlacement& tile = grid.tiles.at(static_cast<std::size_t>(index));
        glPushMatrix();
        glLoadIdentity();
        glTranslated(tile.x, tile.y, tile.z);
        glRotated(xRot, 1.0, 0.0, 0.0);
        glRotated(yRot, 0.0, 1.0, 0.0);
        glRotated(zRot, 0.0, 0.0, 1.0);
        glScaled(snapshot.Size3D, snapshot.Size3D, 1.0);
        tileQuad();
        glPopMatrix();
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

} // namespace oskel
