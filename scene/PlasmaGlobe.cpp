#include "scene/PlasmaGlobe.h"

#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "render/Camera.h"
#include "render/Light.h"
#include "render/MathUtil.h"
#include "render/Texture.h"
#include "scene/Primitives.h"

#include <GL/gl.h>
#include <cassert>
#include <cmath>

const SettingsStore* PlasmaGlobe::SettingsLink = nullptr;
const FrameClock* PlasmaGlobe::ClockLink = nullptr;
const OscillatorBank* PlasmaGlobe::WaveBank = nullptr;
const ::Texture* PlasmaGlobe::ArcImage = nullptr;
const ::Texture* PlasmaGlobe::GlowImage = nullptr;

namespace {

// The strip runs from the electrode's surface to just inside the glass in steps of a twentieth of the
// radius, counted up in single precision: 0.075, 0.125, ... 0.975.
constexpr int StripSteps = 19;
constexpr int RimVertices = 11; // ten sectors, the last vertex closing on the first
constexpr float TwoPi = 6.2831855f;

// Everything about an arc's shape that does not depend on the arc: the along-arc positions, the ripple
// offsets and the texture scroll of the current wave phases and time, and the tip disc's rim directions.
// All arcs of all globes read the same phases within a frame, so the ripple is worked out once per frame
// rather than once per arc.
struct ArcShape {
    float T[StripSteps];
    float RimU[RimVertices], RimV[RimVertices];     // the rim direction, a circle turned 45 degrees
    float RimS[RimVertices], RimT[RimVertices];     // its texture coordinates, slightly beyond 0..1
    float OffsetX[StripSteps], OffsetZ[StripSteps]; // the ripple, in units of the radius
    float Scroll[StripSteps];                       // texture v
    float Phase1 = NAN, Phase2 = NAN, Now = NAN;    // what the ripple was worked out for

    ArcShape() {
        float t = 0.075f;
        for (int i = 0; i < StripSteps; ++i, t += 0.05f)
            T[i] = t;
        for (int i = 0; i < RimVertices; ++i) {
            const double a = double((i % (RimVertices - 1)) * (TwoPi / (RimVertices - 1)));
            RimU[i] = float(std::cos(a) + std::sin(a));
            RimV[i] = float(std::cos(a) - std::sin(a));
            RimS[i] = 0.4f * RimU[i] + 0.5f;
            RimT[i] = 0.4f * RimV[i] + 0.5f;
        }
    }

    void Follow(float phase1, float phase2, float now) {
        if (phase1 == Phase1 && phase2 == Phase2 && now == Now)
            return;
        Phase1 = phase1;
        Phase2 = phase2;
        Now = now;
        for (int i = 0; i < StripSteps; ++i) {
            // Two sines at an irrational ratio of frequencies: the ripple never looks periodic.
            const double s1 = double(19.0f * T[i] - phase1);
            const double s2 = double(19.0f * T[i] - phase2);
            OffsetX[i] = float((std::sin(s1) + std::sin(2.2 * s1)) * 0.01);
            OffsetZ[i] = float((std::sin(s2) + std::sin(2.2 * s2)) * 0.01);
            Scroll[i] = 8.0f * T[i] - now;
        }
    }
};

ArcShape Shape;

// Angles grow without bound at their drift rates; a whole turn taken off keeps them precise however long
// the program runs.
void WrapDegrees(float& angle) {
    if (std::fabs(angle) >= 360.0f)
        angle = std::fmod(angle, 360.0f);
}

// Rarely an arc leaps to a new place.
void MaybeJump(float& angle) {
    if (RandomFloat(1.0) < 0.002)
        angle += float(RandomFloat(60.0) - 30.0);
}

// The arcs switch between their two images twice per arc. The globe pass binds both in full first, which
// leaves the wrap modes on the texture objects; from then on a switch needs the name and, only when the two
// images ask for different ones, the environment mode.
void SwitchTo(const Texture& image, const Texture& other) {
    glBindTexture(GL_TEXTURE_2D, image.Name);
    if (image.EnvMode != 0 && image.EnvMode != other.EnvMode)
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GLfloat(image.EnvMode));
}

} // namespace

PlasmaArc::PlasmaArc()
    : AngleX(float(RandomFloat(360.0))), AngleY(float(RandomFloat(360.0))), AngleZ(float(RandomFloat(360.0))),
      RateX(float(RandomFloat(20.0) - 10.0)), RateY(float(RandomFloat(20.0) - 10.0)),
      RateZ(float(RandomFloat(20.0) - 10.0)) {}

void PlasmaArc::Draw(float radius, float red, float green, float blue, float halfWidth) {
    assert(PlasmaGlobe::SettingsLink && PlasmaGlobe::ClockLink && PlasmaGlobe::WaveBank &&
           PlasmaGlobe::ArcImage && PlasmaGlobe::GlowImage && "globe links are set at start-up");
    // The flicker: a tenth of the time the arc is simply gone for a frame, frozen where it was.
    if (RandomFloat(1.0) < 0.1)
        return;
    const FrameClock& clock = *PlasmaGlobe::ClockLink;
    const float k = clock.FrameTime * PlasmaGlobe::SettingsLink->MainSpeed;
    AngleX += k * RateX;
    AngleY += k * RateY;
    AngleZ += k * RateZ;
    MaybeJump(AngleX);
    MaybeJump(AngleY);
    MaybeJump(AngleZ);
    WrapDegrees(AngleX);
    WrapDegrees(AngleY);
    WrapDegrees(AngleZ);

    // The raw phases, not their sines: the ripple travels along the arc as the phases run.
    Shape.Follow(500.0f * PlasmaGlobe::WaveBank->Phase[1], 500.0f * PlasmaGlobe::WaveBank->Phase[2],
                 clock.Now);

    const Texture& arcImage = *PlasmaGlobe::ArcImage;
    const Texture& glowImage = *PlasmaGlobe::GlowImage;
    SwitchTo(arcImage, glowImage);
    glPushMatrix();
    glRotatef(AngleZ, 0.0f, 0.0f, 1.0f);
    glRotatef(AngleX, 1.0f, 0.0f, 0.0f);
    glRotatef(AngleY, 0.0f, 1.0f, 0.0f);

    const float alpha = float(RandomFloat(0.9) + 0.1);
    glColor4f(red, green, blue, alpha);
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i < StripSteps; ++i) {
        const float y = Shape.T[i] * radius;
        const float z = Shape.OffsetZ[i] * radius;
        glTexCoord2f(0.0f, Shape.Scroll[i]);
        glVertex3f((Shape.OffsetX[i] - halfWidth) * radius, y, z);
        glTexCoord2f(1.0f, Shape.Scroll[i]);
        glVertex3f((Shape.OffsetX[i] + halfWidth) * radius, y, z);
    }
    glEnd();

    // The glow where the arc touches the glass: a disc across the arc's tip, fading out towards its rim.
    constexpr int Tip = StripSteps - 1;
    const float tipX = Shape.OffsetX[Tip], tipY = Shape.T[Tip] * radius, tipZ = Shape.OffsetZ[Tip];
    SwitchTo(glowImage, arcImage);
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0.5f, 0.5f);
    glVertex3f(tipX * radius, tipY, tipZ * radius);
    glColor4f(red, green, blue, 0.0f);
    for (int i = 0; i < RimVertices; ++i) {
        glTexCoord2f(Shape.RimS[i], Shape.RimT[i]);
        glVertex3f((tipX + 0.2f * Shape.RimU[i]) * radius, tipY, (tipZ + 0.2f * Shape.RimV[i]) * radius);
    }
    glEnd();
    glPopMatrix();
}

PlasmaGlobe::PlasmaGlobe() {
    // The arcs have drawn their angles and rates by now, as members; the globe's own draws follow.
    Pitch = float(RandomFloat(360.0));
    PitchRate = float(RandomFloat(0.2) - 0.1);
    Yaw = float(RandomFloat(360.0));
    YawRate = float(RandomFloat(0.2) - 0.1);
    Angle = float(RandomFloat(360.0));
    Spin = float(RandomFloat(0.2) - 0.1);
    Bank.Init(7);
    ArcHalfWidth = 0.005f;
}

void PlasmaGlobe::Draw() {
    assert(SettingsLink && ClockLink && "globe links are set at start-up");
    const SettingsStore& settings = *SettingsLink;
    Bank.Advance(ClockLink->FrameTime, settings.MainSpeed);
    // The rims of the glow discs fade to nothing; the faintest part is not worth a fragment.
    glAlphaFunc(GL_GREATER, 0.05f);

    // Every globe drifts inside the same unit cube about the origin; they may pass through each other.
    X = Bank.Value(4, 15.0f, 1.0f, -0.5f);
    Y = Bank.Value(5, 15.0f, 1.0f, -0.5f);
    Z = Bank.Value(6, 15.0f, 1.0f, -0.5f);
    // Per frame, not per second: the tumble is part of the globe's character at any speed setting.
    Pitch += PitchRate;
    Yaw += YawRate;
    Angle += Spin;
    WrapDegrees(Pitch);
    WrapDegrees(Yaw);
    WrapDegrees(Angle);

    glPushMatrix();
    glTranslatef(X, Y, Z);
    glRotatef(Angle, 0.0f, 0.0f, 1.0f);
    glRotatef(Yaw, 0.0f, 1.0f, 0.0f);
    glRotatef(Pitch, 1.0f, 0.0f, 0.0f);

    // The electrode is the one solid thing in the globe: lit, culled and depth-tested.
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    if (settings.SpotLights)
        glEnable(GL_LIGHTING);
    glColor4f(0.4f, 0.4f, 0.4f, 0.5f);
    DrawSphere(double(settings.ObjectSize) * 0.075, 20, 20, 1.0, 1.0, 0.0, 0.0);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    if (settings.SpotLights)
        glDisable(GL_LIGHTING);

    // The arcs are light, not matter: blended over everything in slot order, without the depth test.
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    if (settings.Textures)
        glEnable(GL_TEXTURE_2D);
    Red = Bank.Value(1, 25.0f, 0.7f, 0.3f);
    Green = Bank.Value(2, 25.0f, 0.7f, 0.3f);
    Blue = Bank.Value(3, 25.0f, 0.7f, 0.3f);
    const int arcCount = ArcCount < 0 ? 0 : (ArcCount > MaxArcs ? MaxArcs : ArcCount);
    for (int i = 0; i < arcCount; ++i)
        Arcs[i].Draw(settings.ObjectSize, Red, Green, Blue, ArcHalfWidth);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    if (settings.Textures)
        glDisable(GL_TEXTURE_2D);

    // The glass: only its near half, a faint sheen that is brighter when the picture is cleared each frame
    // (with trails it would pile up into a white disc).
    glEnable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    float grey = 0.1f;
    if (settings.SpotLights) {
        glEnable(GL_LIGHTING);
        if (settings.ScreenClear)
            grey = 0.4f;
    } else if (settings.ScreenClear) {
        grey = 0.6f;
    }
    glColor4f(grey, grey, grey, 0.3f);
    DrawSphere(settings.ObjectSize, settings.Tesselation, settings.Tesselation, 1.0, 1.0, 0.0, 0.0);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    if (settings.SpotLights)
        glDisable(GL_LIGHTING);

    glPopMatrix();
    glAlphaFunc(GL_GREATER, 0.0f);
}

void DrawGlobeScene() {
    assert(PlasmaGlobe::SettingsLink && PlasmaGlobe::ArcImage && PlasmaGlobe::GlowImage &&
           "globe links are set at start-up");
    const SettingsStore& settings = *PlasmaGlobe::SettingsLink;
    if (settings.SpotLights)
        LightFlare.Draw(MainCamera, settings);

    if (settings.DepthCueFog) {
        // Linear fog divides by end - start; equal ends would leave that to the driver.
        const float start = settings.FogStart;
        const float end = settings.FogEnd == start ? start + 0.001f : settings.FogEnd;
        glFogf(GL_FOG_START, start);
        glFogf(GL_FOG_END, end);
        glEnable(GL_FOG);
    }

    // Both images in full once, so that the arcs can switch between them by name.
    PlasmaGlobe::GlowImage->Bind();
    PlasmaGlobe::ArcImage->Bind();
    SetBlendFactors(BlendFunc0, BlendFunc1);

    const float halfWidth = settings.ArcThickness * 0.01f;
    Globe1.ArcHalfWidth = Globe2.ArcHalfWidth = Globe3.ArcHalfWidth = halfWidth;
    // The later globes first, so that the first one is drawn over them.
    if (GlobeCount == 3)
        Globe3.Draw();
    if (GlobeCount >= 2 && GlobeCount <= 3)
        Globe2.Draw();
    if (GlobeCount >= 1 && GlobeCount <= 3)
        Globe1.Draw();

    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (settings.DepthCueFog)
        glDisable(GL_FOG);
}
