#include "render/SceneObject.h"

#include "app/Settings.h"
#include "render/Texture.h"

#include <GL/gl.h>
#include <cmath>

// Indexed by the selectors; entry 6 differs between the two (destination colour as a source, source colour
// as a destination) and only sources have a ninth.
const unsigned int BlendSourceFactors[BlendSourceCount] = {
    GL_ZERO,                // 0
    GL_ONE,                 // 1
    GL_SRC_ALPHA,           // 2
    GL_ONE_MINUS_SRC_ALPHA, // 3
    GL_DST_ALPHA,           // 4
    GL_ONE_MINUS_DST_ALPHA, // 5
    GL_DST_COLOR,           // 6
    GL_ONE_MINUS_DST_COLOR, // 7
    GL_SRC_ALPHA_SATURATE,  // 8
};

const unsigned int BlendDestinationFactors[BlendDestinationCount] = {
    GL_ZERO,                // 0
    GL_ONE,                 // 1
    GL_SRC_ALPHA,           // 2
    GL_ONE_MINUS_SRC_ALPHA, // 3
    GL_DST_ALPHA,           // 4
    GL_ONE_MINUS_DST_ALPHA, // 5
    GL_SRC_COLOR,           // 6
    GL_ONE_MINUS_SRC_COLOR, // 7
};

namespace {

// The selectors are plain ints that menus and owners write freely; a stray value picks the nearest end of
// the table rather than reading past it.
int ClampIndex(int index, int count) {
    return index < 0 ? 0 : (index >= count ? count - 1 : index);
}

// The minimum corner of an extent placed from a point; any other placement keeps the old corner.
float PlacedMinimum(int placement, float point, float extent, float previous) {
    if (placement == 0)
        return point - extent * 0.5f;
    if (placement == 1)
        return point;
    return previous;
}

} // namespace

SceneObject::SceneObject() {
    SceneObject::PlaceAt2D(0.0f, 0.0f);
}

void SceneObject::PlaceAt2D(float x, float y) {
    MinX = PlacedMinimum(Placement, x, Width, MinX);
    MinY = PlacedMinimum(Placement, y, Height, MinY);
    MaxX = MinX + Width;
    MaxY = MinY + Height;
}

void SceneObject::Update(float dt, const SettingsStore& settings) {
    const float s = dt * settings.MainSpeed;
    X += s * VX;
    Y += s * VY;
    Angle += Spin;
}

bool SceneObject::Overlaps2D(const SceneObject& other, const SettingsStore& settings) const {
    const float r = (Radius + other.Radius) * settings.ObjectSize;
    return r > std::fabs(X - other.X) && r > std::fabs(Y - other.Y);
}

void SceneObject::BeginRenderState(const SettingsStore& settings) const {
    if (AlphaTest) {
        glAlphaFunc(GL_GREATER, AlphaRef);
        glEnable(GL_ALPHA_TEST);
    }
    if (Blend) {
        glBlendFunc(BlendSourceFactors[ClampIndex(BlendSrc, BlendSourceCount)],
                    BlendDestinationFactors[ClampIndex(BlendDst, BlendDestinationCount)]);
        glEnable(GL_BLEND);
    }
    if (DepthTest)
        glEnable(GL_DEPTH_TEST);
    if (!DepthWrite)
        glDepthMask(GL_FALSE);
    if (settings.Textures) {
        // Texturing is switched in pairs even without an image, so that EndRenderState's switch-off always
        // matches; an object without one draws with whatever texture is bound at the time.
        glEnable(GL_TEXTURE_2D);
        if (Texture)
            Texture->Bind();
    }
    glColor4f(Red, Green, Blue, Alpha);
}

void SceneObject::EndRenderState(const SettingsStore& settings) const {
    if (AlphaTest) {
        glDisable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.0f);
    }
    if (Blend) {
        glDisable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    if (DepthTest)
        glDisable(GL_DEPTH_TEST);
    if (!DepthWrite)
        glDepthMask(GL_TRUE);
    if (settings.Textures)
        glDisable(GL_TEXTURE_2D);
}

SceneObject3D::SceneObject3D() {
    SceneObject3D::PlaceAt(0.0f, 0.0f, 0.0f);
}

void SceneObject3D::Update(float dt, const SettingsStore& settings) {
    const float s = dt * settings.MainSpeed;
    X += s * VX;
    Y += s * VY;
    Z += s * VZ;
    Angle += Spin;
    Pitch += PitchRate;
    Yaw += YawRate;
}

void SceneObject3D::PlaceAt(float x, float y, float z) {
    PlaceAt2D(x, y);
    MinZ = PlacedMinimum(Placement, z, Depth, MinZ);
    MaxZ = MinZ + Depth;
}

void SceneObject3D::Draw(const SceneObject3D& camera, const SettingsStore& settings) const {
    if (!Visible)
        return;
    BeginRenderState(settings);
    glPushMatrix();
    glTranslatef(X, Y, Z);
    if (Angle != 0.0f)
        glRotatef(Angle, 0.0f, 0.0f, 1.0f);
    if (FaceCamera) {
        // Undo the camera's turn so that the quad lies in the screen plane.
        glRotatef(-camera.Yaw, 0.0f, 1.0f, 0.0f);
        glRotatef(-camera.Pitch, 1.0f, 0.0f, 0.0f);
    } else {
        glRotatef(Yaw, 0.0f, 1.0f, 0.0f);
        glRotatef(Pitch, 1.0f, 0.0f, 0.0f);
    }
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-Width, -Height, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(Width, -Height, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(Width, Height, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-Width, Height, 0.0f);
    glEnd();
    glPopMatrix();
    EndRenderState(settings);
}

bool SceneObject3D::Overlaps(const SceneObject3D& other, const SettingsStore& settings) const {
    const float r = (Radius + other.Radius) * settings.ObjectSize;
    return Overlaps2D(other, settings) && r > std::fabs(Z - other.Z);
}
