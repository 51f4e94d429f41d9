// The globes as OpenGL receives them, in object coordinates: each globe's centre, tumble and arc colour
// from its own channels, the arcs' ripple and glow disc, the flicker, and what the globe pass draws.

#include "scene/PlasmaGlobe.h"
#include "support/GlTestFixture.h"
#include "support/Turns.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

namespace {

using namespace support;
constexpr int Half = 2;
constexpr float R = 0.7f; // the globe size

// Channel sines of each globe: colour (channels 1 to 3), then centre (4 to 6); and the globe's tumble
// before a frame: angle, spin, yaw, yaw rate, pitch, pitch rate.
struct GlobeCase {
    PlasmaGlobe* Globe;
    double Sines[6], Tumble[6];
    double Colour[3], Centre[3], Angle, Yaw, Pitch; // what the documented values make of them
};
const GlobeCase Globes[] = {
    {&Globe1,
     {0.6, -0.6, 0, 0.6, -0.2, 0.4},
     {30, 5, 40, 10, 20, -5},
     {0.86, 0.44, 0.65},
     {0.3, -0.1, 0.2},
     35,
     50,
     15},
    {&Globe2,
     {-1, 1, 0.2, -0.8, 0.4, -0.6},
     {0, -1, 90, 2, 0, 3},
     {0.3, 1.0, 0.72},
     {-0.4, 0.2, -0.3},
     -1,
     92,
     3},
    {&Globe3,
     {0.2, 0, -0.6, 0, -0.8, 0.8},
     {200, 0, 10, 0, 100, 0},
     {0.72, 0.65, 0.44},
     {0, -0.4, 0.4},
     200,
     10,
     100},
};

Point3 Position(const FeedbackVertex& v) {
    return {v.X, v.Y, ObjectZ(v, Half)};
}
bool Near(const Point3& a, const Point3& b) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]) < 1e-4;
}
bool Coloured(const FeedbackVertex& v, const double (&colour)[3]) {
    return std::fabs(v.R - colour[0]) + std::fabs(v.G - colour[1]) + std::fabs(v.B - colour[2]) < 1e-5;
}

class PlasmaGlobeTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetProgram();
        std::srand(5);
        PlasmaGlobe::SettingsLink = &Settings, PlasmaGlobe::ClockLink = &Clock;
        PlasmaGlobe::WaveBank = &ArcWaveBank;
        PlasmaGlobe::ArcImage = &ArcTexture, PlasmaGlobe::GlowImage = &GlowTexture;
        Settings.ObjectSize = R, Settings.SpotLights = 0;
        ObjectView(Half);
        // The ripple passes through 0 at the tips: every arc's glow disc is centred on its arc's axis.
        ArcWaveBank.Phase[1] = ArcWaveBank.Phase[2] = 19.0f * 0.975f / 500.0f;
        for (const GlobeCase& g : Globes) {
            for (int c = 0; c < 6; ++c)
                g.Globe->Bank.Phase[c + 1] = float(std::asin(g.Sines[c]) / (c < 3 ? 25.0 : 15.0));
            float* tumble[] = {&g.Globe->Angle,   &g.Globe->Spin,  &g.Globe->Yaw,
                               &g.Globe->YawRate, &g.Globe->Pitch, &g.Globe->PitchRate};
            for (int i = 0; i < 6; ++i)
                *tumble[i] = float(g.Tumble[i]);
            for (PlasmaArc& arc : g.Globe->Arcs) // along the globe's own y axis
                arc.AngleX = arc.AngleY = arc.AngleZ = arc.RateX = arc.RateY = arc.RateZ = 0.0f;
        }
    }
};

// Each globe's arcs carry its colour, and their tips (the glow discs' centres and rims) lie where the
// globe's centre and its tumble put them: turned by angle about z, then yaw about y, then pitch about x.
TEST_F(PlasmaGlobeTest, EachGlobeDrawsFromItsOwnCentreTurnedByItsTumbleInItsColour) {
    GlobeCount = 3;
    const Feedback sent = CaptureFeedback(DrawGlobeScene, 1 << 20);
    for (const GlobeCase& g : Globes) {
        SCOPED_TRACE(&g - Globes);
        const Turn3 m = Turn(2, g.Angle) * Turn(1, g.Yaw) * Turn(0, g.Pitch);
        const auto at = [&](const Point3& local) {
            const Point3 p = m * local;
            return Point3{g.Centre[0] + p[0], g.Centre[1] + p[1], g.Centre[2] + p[2]};
        };
        int tips = 0, rims = 0, arcVertices = 0;
        for (const FeedbackVertex& v : sent.Vertices()) {
            if (!Coloured(v, g.Colour))
                continue;
            ++arcVertices;
            tips += v.S == 0.5f && v.T == 0.5f && Near(Position(v), at({0, 0.975 * R, 0}));
            rims += std::fabs(v.S - 0.9f) < 1e-6 && std::fabs(v.T - 0.9f) < 1e-6 &&
                    Near(Position(v), at({0.2 * R, 0.975 * R, 0.2 * R}));
        }
        EXPECT_GE(tips, 30 * 10) << "of 40 arcs, some flickering out, a few jumping; ten sectors each";
        EXPECT_GE(rims, 30 * 2);
        EXPECT_GT(arcVertices, 30 * (38 + 11));
    }
    // The later globes first: the arcs' colours in the order sent.
    std::vector<int> drawn;
    for (const FeedbackVertex& v : sent.Vertices())
        for (int g = 0; g < 3; ++g)
            if (Coloured(v, Globes[g].Colour) && (drawn.empty() || drawn.back() != g))
                drawn.push_back(g);
    EXPECT_EQ(drawn, (std::vector<int>{2, 1, 0}));
}

// An arc is a strip of 19 steps from 0.075 to 0.975 of the radius, rippled by the two wave phases, its
// texture scrolling at 8 repeats per radius and one per second, ending in a disc of radius 0.2 √2 turned
// 45 degrees that fades to nothing at its rim; it drifts by its rates times the scaled frame time and is
// turned by its angles about z, then x, then y.
TEST_F(PlasmaGlobeTest, ArcIsARippledStripEndingInAGlowDisc) {
    const double p1 = 0.3, p2 = -0.7, now = 2.5, w = 0.02, radius = 1.5;
    ArcWaveBank.Phase[1] = float(p1), ArcWaveBank.Phase[2] = float(p2);
    Clock.Now = float(now), Clock.FrameTime = 0.25f, Settings.MainSpeed = 2.0f;
    const auto ripple = [](double t, double p) {
        const double s = 19.0 * t - 500.0 * p;
        return (std::sin(s) + std::sin(2.2 * s)) * 0.01;
    };
    PlasmaArc arc;
    arc.AngleZ = 30.0f, arc.AngleX = 30.0f, arc.AngleY = 50.0f, arc.RateZ = 0.0f, arc.RateX = 20.0f,
    arc.RateY = -8.0f;
    const Turn3 m = Turn(2, 30.0) * Turn(0, 40.0) * Turn(1, 46.0);
    Feedback sent;
    for (int frame = 0; frame < 50 && sent.Primitives.empty(); ++frame) // past any flicker
        sent = CaptureFeedback([&] { arc.Draw(float(radius), 0.25f, 0.5f, 0.75f, float(w)); });
    std::set<long> steps;
    int rim = 0;
    for (const FeedbackVertex& v : sent.Vertices()) {
        EXPECT_TRUE(v.R == 0.25f && v.G == 0.5f && v.B == 0.75f);
        if (v.S == 0.0f || v.S == 1.0f) { // the strip
            const double t = (v.T + now) / 8.0;
            steps.insert(std::lround(t * 1000));
            EXPECT_TRUE(Near(Position(v), m * Point3{(ripple(t, p1) + (2 * v.S - 1) * w) * radius, t * radius,
                                                     ripple(t, p2) * radius}));
        } else if (v.A == 0.0f) { // the disc's rim: texture (0.4 u + 0.5, 0.4 v + 0.5) at 0.2 (u, v)
            ++rim;
            const double u = (v.S - 0.5) / 0.4, vv = (v.T - 0.5) / 0.4;
            EXPECT_NEAR(u * u + vv * vv, 2.0, 1e-4);
            EXPECT_TRUE(Near(Position(v), m * Point3{(ripple(0.975, p1) + 0.2 * u) * radius, 0.975 * radius,
                                                     (ripple(0.975, p2) + 0.2 * vv) * radius}));
        }
    }
    EXPECT_EQ(steps.size(), 19u);
    EXPECT_TRUE(*steps.begin() == 75 && *steps.rbegin() == 975);
    EXPECT_EQ(rim, 20) << "ten sectors, the last closing on the first";
}

// Each frame an arc is missing with a chance of one in ten, and a drawn one has an alpha of 0.1 to 1.
TEST_F(PlasmaGlobeTest, AboutOneArcInTenFlickersOutEachFrame) {
    int drawn = 0;
    float faintest = 1.0f, brightest = 0.0f;
    for (int frame = 0; frame < 25; ++frame)
        for (const FeedbackPrimitive& p : CaptureFeedback([] { Globe1.Draw(); }, 1 << 18).Primitives) {
            const FeedbackVertex &first = p.Vertices[0], &second = p.Vertices[1];
            drawn += first.S == 0.5f && second.S == 0.9f && second.T == 0.9f; // a disc's first sector
            if (first.S == 0.5f)
                faintest = std::min(faintest, first.A), brightest = std::max(brightest, first.A);
        }
    EXPECT_NEAR(25 * 40 - drawn, 25 * 4, 35);
    EXPECT_TRUE(faintest >= 0.1f && faintest < 0.12f && brightest > 0.98f && brightest < 1.0f)
        << faintest << " " << brightest;
}

// The pass draws GlobeCount globes (none outside 1 to 3), each with its grey electrode of 0.075 of the
// radius and its glass of alpha 0.3 on the radius, grey by the screen clear and the light, drawn only
// within 3 to 100 steps; fog is set around it; the arcs' half width is a hundredth of their thickness.
TEST_F(PlasmaGlobeTest, PassDrawsItsGlobesWithElectrodeGlassAndFogAndReturnsToRest) {
    const struct {
        int Globes, ScreenClear, Fog, Tesselation;
        float Glass; // grey, 0 for none
    } cases[] = {{1, 1, 1, 40, 0.6f}, {2, 0, 0, 3, 0.1f}, {3, 1, 1, 100, 0.6f}, {0, 1, 1, 40, 0.0f},
                 {4, 1, 0, 40, 0.0f}, {1, 1, 0, 2, 0.0f}, {1, 1, 0, 101, 0.0f}};
    Settings.ArcThickness = 1.5f, Settings.FogStart = 0.5f, Settings.FogEnd = 4.0f;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Globes << " globes, tesselation " << c.Tesselation);
        GlobeCount = c.Globes, Settings.ScreenClear = c.ScreenClear, Settings.DepthCueFog = c.Fog;
        Settings.Tesselation = c.Tesselation;
        glFogf(GL_FOG_START, -5.0f);
        const Feedback sent = CaptureFeedback(DrawGlobeScene, 1 << 21);
        gltest::ExpectRestingState();
        GLfloat fog[2] = {};
        glGetFloatv(GL_FOG_START, &fog[0]), glGetFloatv(GL_FOG_END, &fog[1]);
        EXPECT_TRUE(c.Fog ? fog[0] == 0.5f && fog[1] == 4.0f : fog[0] == -5.0f);
        EXPECT_FALSE(glIsEnabled(GL_FOG) || glIsEnabled(GL_CULL_FACE) || glIsEnabled(GL_LIGHTING));
        int electrodes = 0;
        std::set<std::array<long, 3>> glass; // where its vertices lie: at most two poles and a ring per step
        for (const FeedbackVertex& v : sent.Vertices()) {
            const double fromCentre = std::hypot(v.X - Globe1.X, v.Y - Globe1.Y, ObjectZ(v, Half) - Globe1.Z);
            electrodes += v.A == 0.5f && v.R == 0.4f && std::fabs(fromCentre - 0.075 * R) < 1e-4;
            if (v.A == 0.3f && v.R == c.Glass && v.G == c.Glass && std::fabs(fromCentre - R) < 1e-4)
                glass.insert({std::lround(v.X * 1e4), std::lround(v.Y * 1e4), std::lround(v.Z * 1e6)});
        }
        EXPECT_EQ(electrodes > 0, c.Globes >= 1 && c.Globes <= 3);
        EXPECT_EQ(glass.size() > 0, c.Glass > 0.0f);
        EXPECT_LE(glass.size(), size_t(c.Tesselation * (c.Tesselation - 2) + 2));
        EXPECT_EQ(Globe3.ArcHalfWidth, 0.015f);
    }
}

} // namespace
