// The logo scene as OpenGL receives it, in world coordinates: the emblem's place, turn, colour and
// opacity through its seven-step loop, its shadow on the floor and its reflection in it, the floor's two
// passes, the animation clock, and the state left behind.

#include "scene/Logo.h"
#include "support/GlTestFixture.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace {

using namespace support;
constexpr int Half = 8;

class LogoTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetProgram();
        Logo.SettingsLink = &Settings, Logo.ClockLink = &Clock, Logo.Size = 0.7f;
        ObjectView(Half);
    }
};

// At whole times the emblem shows its row, in between it eases from row to row (a cosine curve; the colour
// straight): drawn at depth z + 1 with opacity (z + 2) / 2, two bars 1.4 sizes apart along x joined by a
// diagonal, 0.4 sizes thick, turned by yaw about y after roll about z.
// Its shadow is each of its points carried along the light's direction (-2, 2, 1) onto the plane 0.1
// above the floor (y -1.5), grey at half its opacity; the reflection mirrors it in the floor at a tenth.
TEST_F(LogoTest, EmblemShowsEachRowWithItsShadowAndReflection) {
    const struct {
        float Time, Colour[4];
        double Box[6]; // the emblem's half extents in x, y, z, and its middle
    } rows[] = {{2, {1, 0, 0, 1}, {0.7, 0.63, 0.14, 0, 0, 1}},
                {4, {0, 1, 0, 0.65f}, {0.14, 0.7, 0.63, 0, 0, 0.3}},
                {6, {0, 0, 1, 1}, {0.63, 0.7, 0.14, 0, 0, 1}},
                {1.25f, {1, 0.75f, 0.75f, 0.146447f}, {0.7, 0.63, 0.14, 0, 0, -0.707107}}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Time);
        LogoTime = r.Time, Clock.FrameTime = 0.0f;
        const Feedback sent = CaptureFeedback([] { Logo.Draw(); });
        gltest::ExpectRestingState();
        EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
        std::vector<FeedbackVertex> emblem, shadow, reflection;
        for (const FeedbackVertex& v : sent.Vertices()) {
            const bool tinted =
                std::fabs(v.R - r.Colour[0]) + std::fabs(v.G - r.Colour[1]) + std::fabs(v.B - r.Colour[2]) <
                1e-5f;
            if (tinted && std::fabs(v.A - r.Colour[3]) < 1e-5f)
                emblem.push_back(v);
            else if (tinted && std::fabs(v.A - 0.1f * r.Colour[3]) < 1e-5f)
                reflection.push_back(v);
            else if (v.R == 0.25f && v.G == 0.25f && std::fabs(v.A - 0.5f * r.Colour[3]) < 1e-5f)
                shadow.push_back(v);
        }
        ASSERT_EQ(emblem.size(), 3u * 4 * 2 * 3); // three bars of four faces, two triangles each
        ASSERT_TRUE(shadow.size() == emblem.size() && reflection.size() == emblem.size());
        double low[3] = {9, 9, 9}, high[3] = {-9, -9, -9};
        std::set<long> across; // unturned, the bars' ends lie at x ±0.7 and the diagonal's corners at
        float metal = 0.0f;    // ±(1 ∓ 0.2) 0.63 / √2; the metal repeats twice along each bar
        for (std::size_t i = 0; i < emblem.size(); ++i) {
            across.insert(std::lround(std::fabs(emblem[i].X) * 1e4)), metal = std::max(metal, emblem[i].S);
            const double p[3] = {emblem[i].X, emblem[i].Y, ObjectZ(emblem[i], Half)};
            for (int axis = 0; axis < 3; ++axis)
                low[axis] = std::min(low[axis], p[axis]), high[axis] = std::max(high[axis], p[axis]);
            const double along = (p[1] + 1.4) / 2.0;
            EXPECT_TRUE(std::fabs(shadow[i].X - p[0] - 2 * along) + std::fabs(shadow[i].Y + 1.4) +
                            std::fabs(ObjectZ(shadow[i], Half) - p[2] + along) <
                        1e-4);
            EXPECT_TRUE(std::fabs(reflection[i].X - p[0]) < 1e-4 &&
                        std::fabs(reflection[i].Y + 3.0 + p[1]) < 1e-4);
        }
        EXPECT_EQ(metal, 2.0f);
        if (r.Time == 2) {
            EXPECT_EQ(across, (std::set<long>{3564, 5346, 7000}));
        }
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR((high[axis] - low[axis]) / 2, r.Box[axis], 1e-4) << axis;
            EXPECT_NEAR((high[axis] + low[axis]) / 2, r.Box[3 + axis], 1e-4) << axis;
        }
    }
}

// The floor: a 10 x 10 grid at y -1.5 spanning ten units, drawn once with the tiles repeating six times
// and once with the lightmap stretched over it at half opacity.
TEST_F(LogoTest, FloorIsTwoPassesOverOneGrid) {
    const Feedback sent = CaptureFeedback([] { Logo.Draw(); });
    FeedbackBox passes[2] = {sent.Bounds(0, 162), sent.Bounds(162, 162)};
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(sent.Primitives[std::size_t(162 * pass)].Vertices[0].A, pass ? 0.5f : 1.0f);
        EXPECT_TRUE(passes[pass].MaxS == (pass ? 1.0f : 6.0f) && passes[pass].MaxT == passes[pass].MaxS);
        EXPECT_NEAR(passes[pass].MaxX - passes[pass].MinX, 10.0, 1e-4);
        EXPECT_NEAR(passes[pass].MinX, -5.0 - 10.0 / 9 / 4, 1e-4);
    }
    for (std::size_t p = 0; p < 324; ++p)
        EXPECT_NEAR(sent.Primitives[p].Vertices[0].Y, -1.5, 1e-4);
}

// The clock advances by the frame time times the speed and starts the loop again after seven.
TEST_F(LogoTest, ClockRunsRoundTheSevenRowLoop) {
    const float cases[][4] = {
        {0, 0.016f, 1, 0.016f}, {6.5f, 1, 1, 0.5f}, {3.5f, 1.5f, 2, 6.5f}, {0.25f, 0.5f, 0.5f, 0.5f}};
    for (const auto& c : cases) {
        LogoTime = c[0], Clock.FrameTime = c[1], Logo.Speed = c[2];
        Logo.Draw();
        EXPECT_NEAR(LogoTime, c[3], 1e-5f) << c[0];
    }
}

} // namespace
