// The globes as OpenGL receives them, captured in feedback mode: the ripple and glow disc of one arc, the
// flicker, which globes a pass draws in which order, the glass's range, fog and the state left behind.

#include "scene/PlasmaGlobe.h"
#include "render/ProceduralTexture.h"
#include "render/Texture.h"
#include "support/GlTestFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

struct Vertex {
    double X, Y, Z, R, G, B, A, S, T;
};

// The cube -2..2 on a square viewport whose origin falls on window (0, 0), where feedback is exact.
constexpr int ViewSize = 480;

class PlasmaGlobeTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glAlphaFunc(GL_GREATER, 0.0f);
        glEnable(GL_COLOR_MATERIAL); // as the program runs: lit surfaces keep the alpha of their colour
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glViewport(-ViewSize / 2, -ViewSize / 2, ViewSize, ViewSize);
        glMatrixMode(GL_PROJECTION);
        glOrtho(-2.0, 2.0, -2.0, 2.0, -2.0, 2.0);
        glMatrixMode(GL_MODELVIEW);
        Settings = SettingsStore();
        Clock = FrameClock();
        GlobeCount = 1;
        BlendFunc0 = 2; // the arcs add light
        BlendFunc1 = 1;
        std::srand(7);
        ArcWaveBank.Init(9);
        GenerateTexture(ArcTexture, BandKind, 128);
        GenerateTexture(GlowTexture, SpotKind, 256);
        PlasmaGlobe::SettingsLink = &Settings;
        PlasmaGlobe::ClockLink = &Clock;
        PlasmaGlobe::WaveBank = &ArcWaveBank;
        PlasmaGlobe::ArcImage = &ArcTexture;
        PlasmaGlobe::GlowImage = &GlowTexture;
    }

    // Every polygon vertex the drawing sends down, in object coordinates.
    template <typename Draw> static std::vector<Vertex> Capture(Draw draw) {
        const std::vector<GLfloat> buffer = gltest::Feedback(GL_3D_COLOR_TEXTURE, 1 << 20, draw);
        std::vector<Vertex> vertices;
        for (const GLfloat* f = buffer.data(); f < buffer.data() + buffer.size();) {
            if (f[0] != GL_POLYGON_TOKEN) {
                ADD_FAILURE() << "not a polygon: token " << f[0];
                break;
            }
            const GLfloat* end = f + 2 + 11 * int(f[1]);
            for (f += 2; f < end; f += 11)
                vertices.push_back({f[0] * 4.0 / ViewSize, f[1] * 4.0 / ViewSize, 2.0 - 4.0 * f[2], f[3],
                                    f[4], f[5], f[6], f[7], f[8]});
        }
        return vertices;
    }
};

TEST_F(PlasmaGlobeTest, ArcSendsRippledStripAndGlowDiscAtTheWavePhases) {
    const struct {
        float Phase1, Phase2, Now, Radius, HalfWidth;
    } cases[] = {{0.0f, 0.0f, 0.0f, 1.0f, 0.005f},
                 {0.3f, -0.7f, 2.5f, 1.5f, 0.02f},
                 {-1.1f, 0.45f, 9.75f, 0.7f, 0.1f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "phases " << c.Phase1 << ", " << c.Phase2);
        ArcWaveBank.Phase[1] = c.Phase1;
        ArcWaveBank.Phase[2] = c.Phase2;
        Clock.Now = c.Now;
        PlasmaArc arc;
        arc.AngleX = arc.AngleY = arc.AngleZ = arc.RateX = arc.RateY = arc.RateZ = 0.0f; // along +y
        std::vector<Vertex> got;
        for (int attempt = 0; attempt < 50 && got.empty(); ++attempt) // past any flicker
            got = Capture([&] { arc.Draw(c.Radius, 0.25f, 0.5f, 0.75f, c.HalfWidth); });
        ASSERT_EQ(got.size(), size_t(3 * (36 + 10)));
        ASSERT_EQ(arc.AngleX + arc.AngleY + arc.AngleZ, 0.0f) << "the seed made the arc jump";

        // 19 steps along the arc, two strip vertices each, then the tip's centre and its rim; alpha -1 stands
        // for the arc's alpha of the frame.
        std::vector<Vertex> expected;
        double dx = 0.0, dz = 0.0, y = 0.0;
        for (int k = 0; k < 19; ++k) {
            const double t = 0.075 + 0.05 * k, s1 = 19.0 * t - 500.0 * c.Phase1,
                         s2 = 19.0 * t - 500.0 * c.Phase2;
            dx = (std::sin(s1) + std::sin(2.2 * s1)) * 0.01 * c.Radius;
            dz = (std::sin(s2) + std::sin(2.2 * s2)) * 0.01 * c.Radius;
            y = t * c.Radius;
            for (int side : {0, 1})
                expected.push_back({dx + (2 * side - 1) * c.HalfWidth * c.Radius, y, dz, 0, 0, 0, -1.0,
                                    double(side), 8.0 * t - c.Now});
        }
        expected.push_back({dx, y, dz, 0, 0, 0, -1.0, 0.5, 0.5});
        for (int i = 0; i < 10; ++i) {
            const double a = i * 0.2 * M_PI, u = std::cos(a) + std::sin(a), v = std::cos(a) - std::sin(a);
            expected.push_back({dx + 0.2 * u * c.Radius, y, dz + 0.2 * v * c.Radius, 0, 0, 0, 0.0,
                                0.4 * u + 0.5, 0.4 * v + 0.5});
        }

        // Every vertex sent is one of these and every one is sent; strip and centre share one alpha, the
        // rim fades to 0 and closes on its first vertex, so each rim vertex serves two of the ten sectors.
        const double alpha = got.front().A;
        EXPECT_TRUE(alpha >= 0.1 && alpha < 1.0) << alpha;
        std::vector<int> hits(expected.size());
        for (const Vertex& v : got) {
            const auto e = std::find_if(expected.begin(), expected.end(), [&](const Vertex& e) {
                return std::fabs(v.X - e.X) + std::fabs(v.Y - e.Y) + std::fabs(v.Z - e.Z) +
                           std::fabs(v.S - e.S) + std::fabs(v.T - e.T) <
                       1e-4;
            });
            ASSERT_NE(e, expected.end()) << "stray vertex " << v.X << ", " << v.Y << ", " << v.Z;
            ++hits[size_t(e - expected.begin())];
            EXPECT_TRUE(v.R == 0.25f && v.G == 0.5f && v.B == 0.75f);
            EXPECT_NEAR(v.A, e->A < 0.0 ? alpha : 0.0, 1e-6);
        }
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_TRUE(i < 38 ? hits[i] > 0 : hits[i] == (i == 38 ? 10 : 2)) << i << " sent " << hits[i];
    }
}

TEST_F(PlasmaGlobeTest, AboutOneArcInTenFlickersOutEachFrame) {
    Clock.FrameTime = 0.016f;
    int skipped = 0, fewest = PlasmaGlobe::MaxArcs, most = 0;
    for (int frame = 0; frame < 200; ++frame) {
        // Each drawn arc's glow disc sends its rim, the only vertices of alpha 0, twice per sector.
        int rims = 0;
        for (const Vertex& v : Capture([] { Globe1.Draw(); }))
            rims += v.A == 0.0;
        skipped += PlasmaGlobe::MaxArcs - rims / 20;
        fewest = std::min(fewest, rims / 20);
        most = std::max(most, rims / 20);
    }
    EXPECT_GT(skipped / 200.0, 2.5);
    EXPECT_LT(skipped / 200.0, 5.5);
    EXPECT_LT(fewest, most) << "the missing arcs are chosen anew every frame";
}

TEST_F(PlasmaGlobeTest, PassDrawsItsGlobesWithFogAndGlassInRangeAndReturnsToRest) {
    const struct {
        int Fog, Globes, SpotLights, Textures, Tesselation;
        float Start, End, ExpectStart, ExpectEnd; // -5, -6: left as they were
        bool Glass;
    } cases[] = {
        {1, 0, 1, 1, 40, 1.0f, 1.0f, 1.0f, 1.001f, false},  {1, 1, 0, 1, 2, 0.5f, 4.0f, 0.5f, 4.0f, false},
        {0, 3, 1, 0, 3, 2.0f, 2.0f, -5.0f, -6.0f, true},    {1, 1, 0, 1, 100, 2.0f, 2.0f, 2.0f, 2.001f, true},
        {0, 2, 1, 1, 101, 1.0f, 1.0f, -5.0f, -6.0f, false}, {1, 4, 1, 0, 80, 0.0f, 0.0f, 0.0f, 0.001f, false},
        {1, 2, 1, 0, 80, 0.0f, 0.0f, 0.0f, 0.001f, true}};
    Settings.ArcThickness = 1.5f;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "fog " << c.Fog << ", " << c.Globes << " globes, spot lights "
                                        << c.SpotLights << ", tesselation " << c.Tesselation);
        Settings.DepthCueFog = c.Fog;
        GlobeCount = c.Globes;
        Settings.SpotLights = c.SpotLights;
        Settings.Textures = c.Textures;
        Settings.Tesselation = c.Tesselation;
        Settings.FogStart = c.Start;
        Settings.FogEnd = c.End;
        glFogf(GL_FOG_START, -5.0f);
        glFogf(GL_FOG_END, -6.0f);
        DrawGlobeScene(); // drawn for real, then once more captured
        gltest::ExpectRestingState();
        EXPECT_FALSE(glIsEnabled(GL_LIGHTING) || glIsEnabled(GL_CULL_FACE) || glIsEnabled(GL_FOG));
        GLfloat fog[2] = {};
        glGetFloatv(GL_FOG_START, &fog[0]);
        glGetFloatv(GL_FOG_END, &fog[1]);
        EXPECT_FLOAT_EQ(fog[0], c.ExpectStart);
        EXPECT_FLOAT_EQ(fog[1], c.ExpectEnd);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

        // The arcs of a globe share its colour of the frame, so the rim colours name the globes drawn in
        // turn, the later ones first. Lit or not, the glass is the only grey of alpha 0.3.
        std::vector<Vertex> rims;
        int glass = 0;
        for (const Vertex& v : Capture(DrawGlobeScene)) {
            if (v.A == 0.0 && (rims.empty() || rims.back().R != v.R || rims.back().G != v.G))
                rims.push_back(v);
            glass += std::fabs(v.A - 0.3) < 1e-6 && v.R == v.G && v.G == v.B;
        }
        EXPECT_EQ(glass > 0, c.Glass);
        const PlasmaGlobe* const order[] = {&Globe3, &Globe2, &Globe1};
        const size_t drawn = c.Globes >= 1 && c.Globes <= 3 ? size_t(c.Globes) : 0;
        ASSERT_EQ(rims.size(), drawn);
        for (size_t i = 0; i < drawn; ++i) {
            const PlasmaGlobe& globe = *order[3 - drawn + i];
            EXPECT_TRUE(rims[i].R == globe.Red && rims[i].G == globe.Green && rims[i].B == globe.Blue) << i;
        }
        for (const PlasmaGlobe* globe : order)
            EXPECT_EQ(globe->ArcHalfWidth, 0.015f);
    }
}

} // namespace
