// The globes as OpenGL receives them, in object coordinates: each globe's centre, tumble and arc colour
// from its own channels, the arcs' tips, and what the globe pass draws.

#include "scene/PlasmaGlobe.h"
#include "support/GlTestFixture.h"
#include "support/Turns.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace support;
constexpr double R = 0.7; // the globe size

// Per globe: the sines of its channels 1 to 6 (colour, then centre), its tumble before the frame (angle,
// spin, yaw, yaw rate, pitch, pitch rate), and what they make: colour, centre, angle, yaw and pitch.
const double Sines[3][6] = {
    {0.6, -0.6, 0, 0.6, -0.2, 0.4}, {-1, 1, 0.2, -0.8, 0.4, -0.6}, {0.2, 0, -0.6, 0, -0.8, 0.8}};
const float Tumbles[3][6] = {{30, 5, 40, 10, 20, -5}, {0, -1, 90, 2, 0, 3}, {200, 0, 10, 0, 100, 0}};
const double Shown[3][9] = {{0.86, 0.44, 0.65, 0.3, -0.1, 0.2, 35, 50, 15},
                            {0.3, 1.0, 0.72, -0.4, 0.2, -0.3, -1, 92, 3},
                            {0.72, 0.65, 0.44, 0, -0.4, 0.4, 200, 10, 100}};

// Where the columns of Tumbles go.
float SceneObject3D::*const TumbleFields[6] = {&SceneObject3D::Angle, &SceneObject3D::Spin,
                                               &SceneObject3D::Yaw,   &SceneObject3D::YawRate,
                                               &SceneObject3D::Pitch, &SceneObject3D::PitchRate};
PlasmaGlobe* const Globes[3] = {&Globe1, &Globe2, &Globe3};

bool Near(const FeedbackVertex& v, const Point3& p) {
    return std::hypot(v.X - p[0], v.Y - p[1], ObjectZ(v, 2) - p[2]) < 1e-4;
}

class PlasmaGlobeTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetProgram();
        PlasmaGlobe::SettingsLink = &Settings;
        PlasmaGlobe::ClockLink = &Clock;
        PlasmaGlobe::WaveBank = &ArcWaveBank;
        PlasmaGlobe::ArcImage = &ArcTexture;
        PlasmaGlobe::GlowImage = &GlowTexture;
    }
};

// The later globes first, each with its arcs in its colour, of alpha 0.1 to 1 (about one in ten missing);
// their tips (the glow discs' centres at 0.975 of the radius, and rims 0.2 out, faded to nothing) lie where
// the globe's centre and tumble put them (turned by angle about z, then yaw about y, then pitch about x) and
// the arc's own angles (about z, then x, then y).
TEST_F(PlasmaGlobeTest, EachGlobeDrawsFromItsOwnCentreTurnedByItsTumbleInItsColourAndThePassReturnsToRest) {
    Settings.ObjectSize = float(R);
    Settings.SpotLights = 0;
    Settings.MainSpeed = 2.0f;
    GlobeCount = 3;
    Clock.FrameTime = 0.25f; // the arcs drift by their rates times the scaled frame time
    ObjectView(2);
    // At the tips the ripple's sines run at +90 degrees across the arc in x, -90 in z.
    ArcWaveBank.Phase[1] = float((19 * 0.975 - M_PI / 2) / 500);
    ArcWaveBank.Phase[2] = float((19 * 0.975 + M_PI / 2) / 500);
    const double ripple = (1 + std::sin(1.1 * M_PI)) * 0.01;
    for (int g = 0; g < 3; ++g) {
        PlasmaGlobe& globe = *Globes[g];
        for (int c = 0; c < 6; ++c)
            globe.Bank.Phase[c + 1] = float(std::asin(Sines[g][c]) / (c < 3 ? 25.0 : 15.0));
        for (int f = 0; f < 6; ++f)
            globe.*TumbleFields[f] = Tumbles[g][f];
        for (int c = 0; c < 7; ++c) { // channels that stand still while the frame's time runs
            globe.Bank.Frozen[c] = 1;
            globe.Bank.Speed[c] = 0.0f;
        }
        // Every arc after the frame: 30 about z, then 10 about x, then 46 about y.
        for (PlasmaArc& arc : globe.Arcs) {
            arc.AngleZ = 30.0f;
            arc.AngleX = 0.0f;
            arc.AngleY = 50.0f;
            arc.RateZ = 0.0f;
            arc.RateX = 20.0f;
            arc.RateY = -8.0f;
        }
    }
    const Feedback frame = CaptureFeedback(DrawGlobeScene, 1 << 20);
    const std::vector<FeedbackVertex> sent = frame.Vertices();
    float narrowest = 1.0f; // the arcs' strips across: 2 x 0.01 of the radius between their edges at a step
    for (const FeedbackPrimitive& p : frame.Primitives)
        for (const FeedbackVertex& a : p.Vertices)
            for (const FeedbackVertex& b : p.Vertices)
                if (a.S == 0.0f && b.S == 1.0f && a.T == b.T)
                    narrowest =
                        std::min(narrowest, std::hypot(a.X - b.X, a.Y - b.Y, ObjectZ(a, 2) - ObjectZ(b, 2)));
    EXPECT_NEAR(narrowest, 0.02 * R, 1e-4);
    float faintest = 1.0f;
    float brightest = 0.0f;
    for (int g = 0; g < 3; ++g) {
        const double* s = Shown[g];
        const Turn3 m =
            Turn(2, s[6]) * Turn(1, s[7]) * Turn(0, s[8]) * Turn(2, 30) * Turn(0, 10) * Turn(1, 46);
        const Point3 tip = m * Point3{ripple * R, 0.975 * R, -ripple * R};
        const Point3 rim = m * Point3{(ripple + 0.2) * R, 0.975 * R, (0.2 - ripple) * R};
        int tips = 0;
        int rims = 0;
        for (std::size_t i = 0; i < sent.size(); ++i) {
            const FeedbackVertex& v = sent[i];
            if (std::fabs(v.R - s[0]) + std::fabs(v.G - s[1]) + std::fabs(v.B - s[2]) > 1e-5)
                continue;
            tips += v.S == 0.5f && Near(v, {s[3] + tip[0], s[4] + tip[1], s[5] + tip[2]});
            rims += std::fabs(v.S - 0.9f) + std::fabs(v.T - 0.9f) + v.A < 1e-6f &&
                    Near(v, {s[3] + rim[0], s[4] + rim[1], s[5] + rim[2]});
            if (v.S == 0.5f) {
                faintest = std::min(faintest, v.A);
                brightest = std::max(brightest, v.A);
            }
        }
        EXPECT_TRUE(tips >= 30 * 10 && rims >= 30 * 2) << g << ": " << tips << ", " << rims;
    }
    EXPECT_TRUE(faintest >= 0.1f && faintest < 0.2f && brightest > 0.9f && brightest < 1.0f);
    // The pass draws GlobeCount globes (none outside 1 to 3), each with its grey electrode of 0.075 of the
    // radius and the near half of its glass of alpha 0.3 on the radius, grey by the screen clear, drawn only
    // within 3 to 100 steps; fog is set around it; the arcs' half width is a hundredth of their thickness.
    const float cases[][5] = {{1, 1, 1, 40, 0.6f}, {2, 0, 0, 3, 0.1f}, {0, 1, 1, 40, 0},
                              {4, 1, 0, 40, 0},    {1, 1, 0, 2, 0},    {1, 1, 0, 101, 0}};
    Settings.ArcThickness = 1.5f;
    Settings.FogStart = 0.5f;
    Settings.FogEnd = 4.0f;
    for (const auto& c : cases) { // globes, screen clear, fog, steps, the glass's grey
        GlobeCount = int(c[0]);
        Settings.ScreenClear = int(c[1]);
        Settings.DepthCueFog = int(c[2]);
        Settings.Tesselation = int(c[3]);
        glFogf(GL_FOG_START, -5.0f);
        const std::vector<FeedbackVertex> sent = CaptureFeedback(DrawGlobeScene, 1 << 20).Vertices();
        gltest::ExpectRestingState();
        GLfloat fog[2] = {};
        glGetFloatv(GL_FOG_START, &fog[0]);
        glGetFloatv(GL_FOG_END, &fog[1]);
        int electrodes = 0;        // bit g: globe g's electrode was drawn
        int glass = 0, behind = 0; // the glass's near half, and any of its far half
        for (const FeedbackVertex& v : sent) {
            for (int g = 0; g < 3; ++g) {
                const double fromCentre =
                    std::hypot(v.X - Globes[g]->X, v.Y - Globes[g]->Y, ObjectZ(v, 2) - Globes[g]->Z);
                electrodes |= (v.A == 0.5f && v.R == 0.4f && std::fabs(fromCentre - 0.075 * R) < 1e-4) << g;
                if (g == 0 && v.A == 0.3f && v.R == c[4] && std::fabs(fromCentre - R) < 1e-4)
                    (ObjectZ(v, 2) > Globe1.Z - 0.1 * R ? glass : behind) += 1;
            }
        }
        EXPECT_TRUE(electrodes == (c[0] >= 1 && c[0] <= 3 ? (1 << int(c[0])) - 1 : 0) &&
                    (glass > 0) == (c[4] > 0) && behind == 0 &&
                    (c[2] ? fog[0] == 0.5f && fog[1] == 4.0f : fog[0] == -5.0f) && !glIsEnabled(GL_FOG) &&
                    !glIsEnabled(GL_CULL_FACE) && Globe3.ArcHalfWidth == 0.015f)
            << &c - cases << ": " << electrodes << ", " << glass;
    }
}

} // namespace
