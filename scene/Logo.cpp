#include "scene/Logo.h"

#include "app/FrameClock.h"
#include "render/MathUtil.h"
#include "render/Texture.h"
#include "scene/Primitives.h"

#include <GL/gl.h>
#include <cmath>

// The emblem rests out of sight for two rows, swings up to the viewer in red, back, half-way in green while
// turning on two axes, back upside down, and up again in blue before the loop closes.
const LogoKeyframe LogoKeyframes[LogoKeyframeCount] = {
    {0.0f, 0.0f, -2.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f},   {0.0f, 0.0f, -2.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f},
    {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f},    {0.0f, 0.0f, -2.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f},
    {0.0f, 0.0f, -0.7f, 90.0f, 90.0f, 0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, -2.0f, 0.0f, 180.0f, 1.0f, 1.0f, 1.0f},
    {0.0f, 0.0f, 0.0f, 0.0f, 90.0f, 0.0f, 0.0f, 1.0f},
};

float LogoTime = 0.0f;

namespace {

constexpr float LoopLength = float(LogoKeyframeCount);

// The horizontal plane 0.1 above the floor, so that the shadow never fights the floor for depth.
const float ShadowPlane[4] = {0.0f, 1.0f, 0.0f, -(LogoScene::FloorY + 0.1f)};

// Brings any time into [0, 7). A step of a whole loop or more (a long stall, a fast speed) lands where the
// loop would have been, and a non-finite one cannot leave the clock stuck at NaN.
float WrapLogoTime(float time) {
    if (!std::isfinite(time))
        return 0.0f;
    float wrapped = std::fmod(time, LoopLength);
    if (wrapped < 0.0f)
        wrapped += LoopLength;
    // A tiny negative remainder plus 7 can round up to 7 itself.
    return wrapped < LoopLength ? wrapped : 0.0f;
}

// Moves to the emblem's place and turns it as the pose says, then draws it.
void DrawPosedShape(const LogoPose& pose, float size) {
    glPushMatrix();
    glTranslatef(pose.X, pose.Y, pose.DrawZ);
    glRotatef(pose.Yaw, 0.0f, 1.0f, 0.0f);
    glRotatef(pose.Roll, 0.0f, 0.0f, 1.0f);
    DrawLogoShape(size);
    glPopMatrix();
}

} // namespace

LogoPose LogoPoseAt(float time) {
    const float t = WrapLogoTime(time);
    int k0 = int(t);
    if (k0 >= LogoKeyframeCount)
        k0 = LogoKeyframeCount - 1;
    const int k1 = k0 + 1 < LogoKeyframeCount ? k0 + 1 : 0;
    const float f = t - float(k0);
    const LogoKeyframe& a = LogoKeyframes[k0];
    const LogoKeyframe& b = LogoKeyframes[k1];
    LogoPose pose;
    pose.X = CosineLerp(a.X, b.X, f);
    pose.Y = CosineLerp(a.Y, b.Y, f);
    pose.Z = CosineLerp(a.Z, b.Z, f);
    pose.Yaw = CosineLerp(a.Yaw, b.Yaw, f);
    pose.Roll = CosineLerp(a.Roll, b.Roll, f);
    pose.Red = Lerp(a.Red, b.Red, f);
    pose.Green = Lerp(a.Green, b.Green, f);
    pose.Blue = Lerp(a.Blue, b.Blue, f);
    // The rows swing between -2 and 0; drawn one unit nearer, the emblem is invisible at the back and
    // fully opaque at the front.
    pose.DrawZ = pose.Z + 1.0f;
    pose.Alpha = (pose.DrawZ + 1.0f) / 2.0f;
    return pose;
}

LogoScene::LogoScene() {
    Floor.X = 0.0f;
    Floor.Y = FloorY;
    Floor.Z = 0.0f;
    Floor.Width = 10.0f;
    Floor.Height = 10.0f;
    Floor.Columns = 10;
    Floor.Rows = 10;
    Floor.Red = Floor.Green = Floor.Blue = 1.0f;
    Floor.TextureOffsetU = Floor.TextureOffsetV = 0.0f;
    Floor.AlphaTest = 0;
    Floor.Texture = nullptr;
    Floor.MakeFlat();
}

void LogoScene::Draw() {
    // Start-up links the settings and the clock before the first frame; until then there is nothing to
    // animate or draw with.
    if (SettingsLink == nullptr || ClockLink == nullptr)
        return;
    const SettingsStore& settings = *SettingsLink;

    LogoTime = WrapLogoTime(LogoTime + WrapLogoTime(ClockLink->FrameTime * Speed));
    const LogoPose pose = LogoPoseAt(LogoTime);

    // The tiles, then the lightmap multiplied over them: the second pass keeps the depth test so that it
    // lands only on the floor, pulled forward so that it wins against the tiles it lies on.
    Floor.Alpha = 1.0f;
    Floor.Blend = 0;
    Floor.DepthTest = 1;
    Floor.DepthWrite = 1;
    Floor.Texture = FloorImage;
    Floor.TextureRepeat = 6.0f;
    Floor.Draw(settings);

    Floor.Alpha = 0.5f;
    Floor.Blend = 1;
    Floor.BlendSrc = 0; // GL_ZERO, GL_SRC_COLOR: frame times lightmap
    Floor.BlendDst = 6;
    Floor.Texture = LightmapImage;
    Floor.TextureRepeat = 1.0f;
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1.0f, -1.0f);
    Floor.Draw(settings);
    glDisable(GL_POLYGON_OFFSET_FILL);

    // The emblem is metal whatever the texture setting says; shadow, emblem and reflection share the one
    // texture.
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    if (MetalImage != nullptr)
        MetalImage->Bind();

    // The shadow: flattened onto the floor along the light's direction, drawn without depth so that it
    // lies over the tiles.
    glColor4f(0.25f, 0.25f, 0.25f, pose.Alpha * 0.5f);
    SetBlendFactors(8, 3);
    glPushMatrix();
    glTranslatef(pose.X, pose.Y, pose.DrawZ);
    MultShadowMatrix(ShadowPlane, LightPosition);
    glRotatef(pose.Yaw, 0.0f, 1.0f, 0.0f);
    glRotatef(pose.Roll, 0.0f, 0.0f, 1.0f);
    DrawLogoShape(Size);
    glPopMatrix();

    glEnable(GL_DEPTH_TEST);
    glColor4f(pose.Red, pose.Green, pose.Blue, pose.Alpha);
    SetBlendFactors(2, 3);
    DrawPosedShape(pose, Size);

    // The reflection: the emblem mirrored about the floor plane, faint, and seen through the floor.
    glPushMatrix();
    glTranslatef(0.0f, 2.0f * FloorY, 0.0f);
    glScalef(1.0f, -1.0f, 1.0f);
    glColor4f(pose.Red, pose.Green, pose.Blue, pose.Alpha * 0.1f);
    glDisable(GL_DEPTH_TEST);
    SetBlendFactors(2, 3);
    DrawPosedShape(pose, Size);
    glPopMatrix();

    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void DrawLogoShape(float size) {
    glPushMatrix();
    glTranslatef(0.0f, -0.7f * size, 0.0f);
    DrawLogoBar(size);
    glTranslatef(0.0f, 1.4f * size, 0.0f);
    DrawLogoBar(size);
    // Back to the middle: the diagonal runs from lower left to upper right between the two bars.
    glTranslatef(0.0f, -0.7f * size, 0.0f);
    glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
    DrawLogoBar(0.9f * size);
    glPopMatrix();
}

void DrawLogoBar(float halfLength) {
    const float b = halfLength;
    glPushMatrix();
    // Front and back faces, then the bar turned a quarter about its length for top and bottom.
    glTranslatef(0.0f, 0.0f, 0.2f * b);
    DrawLogoQuad(b, 0.2f * b, 0.0f);
    glTranslatef(0.0f, 0.0f, -0.4f * b);
    DrawLogoQuad(b, 0.2f * b, 0.0f);
    glTranslatef(0.0f, 0.0f, 0.2f * b);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, 0.2f * b);
    DrawLogoQuad(b, 0.2f * b, 0.0f);
    glTranslatef(0.0f, 0.0f, -0.4f * b);
    DrawLogoQuad(b, 0.2f * b, 0.0f);
    glPopMatrix();
}

void DrawLogoQuad(float halfWidth, float halfHeight, float z) {
    // The metal repeats twice along the bar.
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-halfWidth, -halfHeight, z);
    glTexCoord2f(2.0f, 0.0f);
    glVertex3f(halfWidth, -halfHeight, z);
    glTexCoord2f(2.0f, 1.0f);
    glVertex3f(halfWidth, halfHeight, z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-halfWidth, halfHeight, z);
    glEnd();
}
