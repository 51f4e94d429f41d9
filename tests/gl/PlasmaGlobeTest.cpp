// The globes as OpenGL receives them, in object coordinates: each globe's centre, tumble and arc colour
// from its own channels, the arcs' ripple and glow disc, the flicker, and what the globe pass draws.

#include "scene/PlasmaGlobe.h"
#include "support/GlTestFixture.h"
#include "support/Turns.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

using namespace support;
constexpr int Half = 2;
constexpr double R = 0.7; // the globe size

// Per globe: the sines of its channels 1 to 6 (colour, then centre), its tumble before the frame (angle,
// spin, yaw, yaw rate, pitch, pitch rate), and what they make: colour, centre, angle, yaw and pitch.
const double Sines[3][6] = {
    {0.6, -0.6, 0, 0.6, -0.2, 0.4}, {-1, 1, 0.2, -0.8, 0.4, -0.6}, {0.2, 0, -0.6, 0, -0.8, 0.8}};
const float Tumbles[3][6] = {{30, 5, 40, 10, 20, -5}, {0, -1, 90, 2, 0, 3}, {200, 0, 10, 0, 100, 0}};
const double Shown[3][9] = {{0.86, 0.44, 0.65, 0.3, -0.1, 0.2, 35, 50, 15},
                            {0.3, 1.0, 0.72, -0.4, 0.2, -0.3, -1, 92, 3},
                            {0.72, 0.65, 0.44, 0, -0.4, 0.4, 200, 10, 100}};
PlasmaGlobe* const Globes[3] = {&Globe1, &Globe2, &Globe3};

bool Near(const FeedbackVertex& v, const Point3& p) {
    return std::hypot(v.X - p[0], v.Y - p[1], ObjectZ(v, Half) - p[2]) < 1e-4;
}
bool Coloured(const FeedbackVertex& v, const double* colour) {
    return std::fabs(v.R - colour[0]) + std::fabs(v.G - colour[1]) + std::fabs(v.B - colour[2]) < 1e-5;
}

class PlasmaGlobeTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetProgram();
        PlasmaGlobe::SettingsLink = &Settings, PlasmaGlobe::ClockLink = &Clock,
        PlasmaGlobe::WaveBank = &ArcWaveBank;
        PlasmaGlobe::ArcImage = &ArcTexture, PlasmaGlobe::GlowImage = &GlowTexture;
        Settings.ObjectSize = float(R), Settings.SpotLights = 0;
        ObjectView(Half);
        // The ripple passes through 0 at the tips: every arc's glow disc is centred on its arc's axis.
        ArcWaveBank.Phase[1] = ArcWaveBank.Phase[2] = 19.0f * 0.975f / 500.0f;
        for (int g = 0; g < 3; ++g) {
            PlasmaGlobe& globe = *Globes[g];
            for (int c = 0; c < 6; ++c)
                globe.Bank.Phase[c + 1] = float(std::asin(Sines[g][c]) / (c < 3 ? 25.0 : 15.0));
            std::tie(globe.Angle, globe.Spin, globe.Yaw, globe.YawRate, globe.Pitch, globe.PitchRate) =
                std::tie(Tumbles[g][0], Tumbles[g][1], Tumbles[g][2], Tumbles[g][3], Tumbles[g][4],
                         Tumbles[g][5]);
            for (PlasmaArc& arc : globe.Arcs) // along the globe's own y axis
                arc.AngleX = arc.AngleY = arc.AngleZ = arc.RateX = arc.RateY = arc.RateZ = 0.0f;
        }
    }
};

// The later globes first, each with its arcs in its colour; their tips (the glow discs' centres and rims)
// lie where its centre and tumble put them: turned by angle about z, then yaw about y, then pitch about x.
TEST_F(PlasmaGlobeTest, EachGlobeDrawsFromItsOwnCentreTurnedByItsTumbleInItsColour) {
    GlobeCount = 3;
    const std::vector<FeedbackVertex> sent = CaptureFeedback(DrawGlobeScene, 1 << 20).Vertices();
    std::vector<int> order;
    for (int g = 0; g < 3; ++g) {
        const double* s = Shown[g];
        const Turn3 m = Turn(2, s[6]) * Turn(1, s[7]) * Turn(0, s[8]);
        const Point3 tip = m * Point3{0, 0.975 * R, 0}, rim = m * Point3{0.2 * R, 0.975 * R, 0.2 * R};
        int tips = 0, rims = 0;
        for (const FeedbackVertex& v : sent) {
            tips += Coloured(v, s) && v.S == 0.5f && Near(v, {s[3] + tip[0], s[4] + tip[1], s[5] + tip[2]});
            rims += Coloured(v, s) && std::fabs(v.S - 0.9f) + std::fabs(v.T - 0.9f) < 1e-6f &&
                    Near(v, {s[3] + rim[0], s[4] + rim[1], s[5] + rim[2]});
        }
        EXPECT_TRUE(tips >= 30 * 10 && rims >= 30 * 2) << g << ": of 40 arcs some flicker, a few jump";
    }
    for (const FeedbackVertex& v : sent)
        for (int g = 0; g < 3; ++g)
            if (Coloured(v, Shown[g]) && (order.empty() || order.back() != g))
                order.push_back(g);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 0}));
}

// An arc is a strip of 19 steps from 0.075 to 0.975 of the radius, rippled by the two wave phases, its
// texture scrolling at 8 repeats per radius and one per second, ending in a disc of radius 0.2 √2 turned
// 45 degrees that fades to nothing at its rim; it drifts by its rates times the scaled frame time and is
// turned by its angles about z, then x, then y.
TEST_F(PlasmaGlobeTest, ArcIsARippledStripEndingInAGlowDisc) {
    const double p1 = 0.3, p2 = -0.7, now = 2.5, w = 0.02, r = 1.5;
    ArcWaveBank.Phase[1] = float(p1), ArcWaveBank.Phase[2] = float(p2);
    Clock.Now = float(now), Clock.FrameTime = 0.25f, Settings.MainSpeed = 2.0f;
    const auto ripple = [](double t, double p) {
        return (std::sin(19.0 * t - 500.0 * p) + std::sin(2.2 * (19.0 * t - 500.0 * p))) * 0.01;
    };
    PlasmaArc arc;
    arc.AngleZ = 30.0f, arc.AngleX = 30.0f, arc.AngleY = 50.0f, arc.RateZ = 0.0f, arc.RateX = 20.0f,
    arc.RateY = -8.0f;
    const Turn3 m = Turn(2, 30.0) * Turn(0, 40.0) * Turn(1, 46.0);
    Feedback sent;
    for (int frame = 0; frame < 50 && sent.Primitives.empty(); ++frame) // past any flicker
        sent = CaptureFeedback([&] { arc.Draw(float(r), 0.25f, 0.5f, 0.75f, float(w)); });
    std::set<long> steps;
    int rim = 0;
    for (const FeedbackVertex& v : sent.Vertices()) {
        const double t = (v.T + now) / 8.0, u = (v.S - 0.5) / 0.4, vv = (v.T - 0.5) / 0.4;
        EXPECT_TRUE(v.R == 0.25f && v.G == 0.5f && v.B == 0.75f);
        if (v.S == 0.0f || v.S == 1.0f) { // the strip
            steps.insert(std::lround(t * 1000));
            EXPECT_TRUE(
                Near(v, m * Point3{(ripple(t, p1) + (2 * v.S - 1) * w) * r, t * r, ripple(t, p2) * r}));
        } else if (v.A == 0.0f) { // the rim: texture (0.4 u + 0.5, 0.4 v + 0.5) at 0.2 (u, v), u² + v² = 2
            rim += std::fabs(u * u + vv * vv - 2.0) < 1e-4 &&
                   Near(v, m * Point3{(ripple(0.975, p1) + 0.2 * u) * r, 0.975 * r,
                                      (ripple(0.975, p2) + 0.2 * vv) * r});
        }
    }
    EXPECT_TRUE(steps.size() == 19 && *steps.begin() == 75 && *steps.rbegin() == 975);
    EXPECT_EQ(rim, 20) << "ten sectors, the last closing on the first";
}

// Each frame an arc is missing with a chance of one in ten, and a drawn one has an alpha of 0.1 to 1.
TEST_F(PlasmaGlobeTest, AboutOneArcInTenFlickersOutEachFrame) {
    int drawn = 0;
    float faintest = 1.0f, brightest = 0.0f;
    for (int frame = 0; frame < 25; ++frame)
        for (const FeedbackPrimitive& p : CaptureFeedback([] { Globe1.Draw(); }, 1 << 18).Primitives)
            if (p.Vertices[0].S == 0.5f) // a glow disc's sector; its first ends at texture (0.9, 0.9)
                drawn += p.Vertices[1].S == 0.9f && p.Vertices[1].T == 0.9f,
                    faintest = std::min(faintest, p.Vertices[0].A),
                    brightest = std::max(brightest, p.Vertices[0].A);
    EXPECT_NEAR(25 * 40 - drawn, 25 * 4, 35);
    EXPECT_TRUE(faintest >= 0.1f && faintest < 0.12f && brightest > 0.98f && brightest < 1.0f);
}

// The pass draws GlobeCount globes (none outside 1 to 3), each with its grey electrode of 0.075 of the
// radius and its glass of alpha 0.3 on the radius, grey by the screen clear, drawn only within 3 to 100
// steps (at most two poles and a ring of steps per band); fog is set around it; the arcs' half width is a
// hundredth of their thickness.
TEST_F(PlasmaGlobeTest, PassDrawsItsGlobesWithElectrodeGlassAndFogAndReturnsToRest) {
    const struct {
        int Globes, ScreenClear, Fog, Tesselation;
        float Glass; // grey, 0 for none
    } cases[] = {{1, 1, 1, 40, 0.6f}, {2, 0, 0, 3, 0.1f}, {3, 1, 1, 100, 0.6f}, {0, 1, 1, 40, 0.0f},
                 {4, 1, 0, 40, 0.0f}, {1, 1, 0, 2, 0.0f}, {1, 1, 0, 101, 0.0f}};
    Settings.ArcThickness = 1.5f, Settings.FogStart = 0.5f, Settings.FogEnd = 4.0f;
    for (const auto& c : cases) {
        GlobeCount = c.Globes, Settings.ScreenClear = c.ScreenClear, Settings.DepthCueFog = c.Fog;
        Settings.Tesselation = c.Tesselation;
        glFogf(GL_FOG_START, -5.0f);
        const std::vector<FeedbackVertex> sent = CaptureFeedback(DrawGlobeScene, 1 << 21).Vertices();
        gltest::ExpectRestingState();
        GLfloat fog[2] = {};
        glGetFloatv(GL_FOG_START, &fog[0]), glGetFloatv(GL_FOG_END, &fog[1]);
        EXPECT_TRUE(c.Fog ? fog[0] == 0.5f && fog[1] == 4.0f : fog[0] == -5.0f) << &c - cases;
        EXPECT_FALSE(glIsEnabled(GL_FOG) || glIsEnabled(GL_CULL_FACE) || glIsEnabled(GL_LIGHTING));
        int electrode = 0;
        std::set<std::array<long, 3>> glass;
        for (const FeedbackVertex& v : sent) {
            const double fromCentre = std::hypot(v.X - Globe1.X, v.Y - Globe1.Y, ObjectZ(v, Half) - Globe1.Z);
            electrode += v.A == 0.5f && v.R == 0.4f && std::fabs(fromCentre - 0.075 * R) < 1e-4;
            if (v.A == 0.3f && v.R == c.Glass && v.G == c.Glass && std::fabs(fromCentre - R) < 1e-4)
                glass.insert({std::lround(v.X * 1e4), std::lround(v.Y * 1e4), std::lround(v.Z * 1e6)});
        }
        EXPECT_EQ(electrode > 0, c.Globes >= 1 && c.Globes <= 3) << &c - cases;
        EXPECT_TRUE(glass.empty() != (c.Glass > 0) &&
                    glass.size() <= size_t(c.Tesselation * (c.Tesselation - 2) + 2));
        EXPECT_EQ(Globe3.ArcHalfWidth, 0.015f);
    }
}

} // namespace
