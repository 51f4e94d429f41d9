// The scene around the globes as OpenGL receives it, in world coordinates: the light's orbit and what it
// sends; the logo's emblem through its loop with its shadow and reflection, its floor and its clock; the
// star field's colours and layers.

#include "render/Light.h"
#include "scene/Logo.h"
#include "scene/Universe.h"
#include "support/GlTestFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

using namespace support;
constexpr int Half = 8;

class SceneTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetProgram();
        ObjectView(Half);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); // as the program rests
        std::srand(3);
    }
    // What OpenGL holds: light model (0), back material (1) or a light's value.
    static std::vector<float> Sent(GLenum light, GLenum name, std::size_t count = 4) {
        std::vector<float> values(4, 0.0f);
        if (light == 0)
            glGetFloatv(name, values.data());
        else if (light == 1)
            glGetMaterialfv(GL_BACK, name, values.data());
        else
            glGetLightfv(light, name, values.data());
        return {values.begin(), values.begin() + long(count)};
    }
};

// The light circles at height 1.25 two units from the middle, its flare with it, aimed at the origin from
// where it is; with spot lights on it sends the tuned values (its colour is white): the ambient also as the
// light model's, the reflective factor as the material's specular, the shininess truncated, a cutoff of 180
// (no spot at all) after a narrow one.
TEST_F(SceneTest, LightSendsItsColoursAndMaterialAndCirclesAtItsHeight) {
    LightBank.Init(4);
    LightBank.Phase[1] = 0.05f; // at the orbit rate 10: half a radian round
    Settings.SpotLights = 1;
    Settings.Ambient = 0.1f;
    Settings.Diffuse = 0.7f;
    Settings.Specular = 0.3f;
    Settings.Reflective = 0.6f;
    Settings.Shininess = 20.5f;
    Settings.Cutoff = 180.0f;
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 45.0f);
    Settings.Exponent = 5.0f;
    MoveLight();
    const float x = 2 * std::sin(0.5f), z = 2 * std::cos(0.5f);
    EXPECT_TRUE(std::fabs(MainLight.X - x) + std::fabs(MainLight.Z - z) < 1e-5);
    EXPECT_TRUE(MainLight.Y == 1.25f && LightFlare.X == MainLight.X && LightFlare.Y == MainLight.Y &&
                LightFlare.Z == MainLight.Z);
    const auto grey = [](float f) { return std::vector<float>{f, f, f, 1}; };
    EXPECT_EQ(
        std::make_tuple(Sent(0, GL_LIGHT_MODEL_AMBIENT), Sent(GL_LIGHT0, GL_AMBIENT),
                        Sent(GL_LIGHT0, GL_DIFFUSE), Sent(GL_LIGHT0, GL_SPECULAR), Sent(1, GL_SPECULAR),
                        Sent(1, GL_SHININESS, 1)[0], Sent(GL_LIGHT0, GL_SPOT_CUTOFF, 1)[0],
                        Sent(GL_LIGHT0, GL_SPOT_EXPONENT, 1)[0]),
        std::make_tuple(grey(0.1f), grey(0.1f), grey(0.7f), grey(0.3f), grey(0.6f), 20.0f, 180.0f, 5.0f));
    const std::vector<float> position = Sent(GL_LIGHT0, GL_POSITION),
                             aim = Sent(GL_LIGHT0, GL_SPOT_DIRECTION, 3);
    EXPECT_LT(std::fabs(position[0] - x) + std::fabs(position[1] - 1.25f) + std::fabs(position[2] - z) +
                  std::fabs(position[3] - 1.0f) + std::fabs(aim[0] + x) + std::fabs(aim[1] + 1.25f) +
                  std::fabs(aim[2] + z),
              1e-5);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
}

// At whole times the emblem shows its row, in between it eases from row to row (the colour straight):
// drawn at depth z + 1 with opacity (z + 2) / 2, two bars 1.4 sizes apart along x joined by a diagonal of
// 0.9 sizes at 45 degrees, 0.4 sizes thick, turned by yaw about y after roll about z. Its shadow is each of
// its points carried along the light's direction (-2, 2, 1) onto the plane 0.1 above the floor (y -1.5),
// grey at half its opacity; the reflection mirrors it in the floor at a tenth. The floor's 10 x 10 grid
// spans ten units, drawn with the tiles six times over, then the lightmap once at half opacity. The clock
// runs by frame time times speed round the seven rows.
TEST_F(SceneTest, LogoEmblemShowsEachRowWithItsShadowReflectionAndFloor) {
    Logo.SettingsLink = &Settings;
    Logo.ClockLink = &Clock;
    Logo.Size = 0.7f;
    const struct {
        float Time, Colour[4];
        double Box[4]; // the emblem's half extents in x, y, z, and its middle's z
    } rows[] = {{2, {1, 0, 0, 1}, {0.7, 0.63, 0.14, 1}},
                {4, {0, 1, 0, 0.65f}, {0.14, 0.7, 0.63, 0.3}},
                {6, {0, 0, 1, 1}, {0.63, 0.7, 0.14, 1}},
                {1.25f, {1, 0.75f, 0.75f, 0.146447f}, {0.7, 0.63, 0.14, -0.707107}}};
    const LogoPose closing = LogoPoseAt(6.5f); // the last row eases back into the first
    EXPECT_TRUE(std::fabs(closing.Z + 1) + std::fabs(closing.Roll - 45) + std::fabs(closing.Red - 0.5f) <
                1e-4);
    for (const auto& r : rows) {
        LogoTime = r.Time;
        const Feedback sent = CaptureFeedback([] { Logo.Draw(); });
        gltest::ExpectRestingState();
        ASSERT_EQ(sent.Primitives.size(), 324u + 3 * 24); // the floor twice; shadow, emblem, reflection
        double low[3] = {9, 9, 9}, high[3] = {-9, -9, -9}, error = 0.0;
        for (std::size_t k = 0; k < 72; ++k) {
            const FeedbackVertex& shadow = sent.Primitives[324 + k / 3].Vertices[k % 3];
            const FeedbackVertex& e = sent.Primitives[348 + k / 3].Vertices[k % 3];
            const FeedbackVertex& mirrored = sent.Primitives[372 + k / 3].Vertices[k % 3];
            const double p[3] = {e.X, e.Y, ObjectZ(e, Half)}, along = (p[1] + 1.4) / 2.0;
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], p[axis]);
                high[axis] = std::max(high[axis], p[axis]);
            }
            error += std::fabs(e.R - r.Colour[0]) + std::fabs(e.G - r.Colour[1]) +
                     std::fabs(e.B - r.Colour[2]) + std::fabs(e.A - r.Colour[3]) +
                     std::fabs(mirrored.G - e.G) + std::fabs(mirrored.A - 0.1 * e.A) +
                     std::fabs(shadow.R - 0.25) + std::fabs(shadow.A - 0.5 * e.A) +
                     std::fabs(shadow.X - p[0] - 2 * along) + std::fabs(shadow.Y + 1.4) +
                     std::fabs(ObjectZ(shadow, Half) - p[2] + along) + std::fabs(mirrored.X - p[0]) +
                     std::fabs(mirrored.Y + 3.0 + p[1]);
        }
        EXPECT_LT(error, 1e-2) << r.Time; // over all 72 corners
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR((high[axis] - low[axis]) / 2, r.Box[axis], 1e-4) << r.Time << ", " << axis;
        EXPECT_TRUE(std::fabs(low[0] + high[0]) + std::fabs(low[1] + high[1]) < 1e-4 &&
                    std::fabs((low[2] + high[2]) / 2 - r.Box[3]) < 1e-4);
        const FeedbackBox tiles = sent.Bounds(0, 162), lightmap = sent.Bounds(162, 162);
        EXPECT_TRUE(tiles.MaxS == 6.0f && tiles.MaxT == 6.0f && lightmap.MaxS == 1.0f &&
                    sent.Primitives[162].Vertices[0].A == 0.5f &&
                    std::fabs(tiles.MinX + 5.0 + 10.0 / 36) < 1e-4 &&
                    std::fabs(tiles.MaxX - tiles.MinX - 10) < 1e-4 &&
                    std::fabs(sent.Primitives[0].Vertices[0].Y + 1.5) < 1e-4);
    }
    const float clock[][4] = {{6.5f, 1, 1, 0.5f}, {3.5f, 1.5f, 2, 6.5f}, {0.25f, 0.5f, 0.5f, 0.5f}};
    for (const auto& c : clock) {
        LogoTime = c[0];
        Clock.FrameTime = c[1];
        Logo.Speed = c[2];
        Logo.Draw();
        EXPECT_NEAR(LogoTime, c[3], 1e-5f) << c[0];
    }
}

// The program's star field: 1000 stars filling the cube of half-size 5 outside the cube of 1.01, one in ten
// tinted, each component 0.3 to 1, the others near white, 0.7 to 1; drawn twice, the second layer the first
// turned a quarter about the vertical. Blending is switched on as asked and back off.
using StarFieldTest = gltest::ProgramTest;
TEST_F(StarFieldTest, StarsFillTheCubeShellInTwoLayers) {
    StarUniverse& stars = Universe; // as the program's start made it
    ObjectView(Half);
    const Feedback sent = CaptureFeedback([&] { stars.Draw(); });
    gltest::ExpectRestingState();
    const std::vector<FeedbackVertex> v = sent.Vertices();
    ASSERT_EQ(v.size(), 2000u);
    int tinted = 0;
    double closest = 9.0; // the core is empty out to 1.01, no further
    for (std::size_t i = 0; i < 1000; ++i) {
        const double p[3] = {v[i].X, v[i].Y, ObjectZ(v[i], Half)};
        const double size = std::max({std::fabs(p[0]), std::fabs(p[1]), std::fabs(p[2])});
        EXPECT_TRUE(size >= 1.01 - 1e-4 && size <= 5.0 + 1e-4) << size;
        closest = std::min(closest, size);
        tinted += std::min({v[i].R, v[i].G, v[i].B}) < 0.7f;
        EXPECT_TRUE(std::min({v[i].R, v[i].G, v[i].B}) >= 0.3f && std::max({v[i].R, v[i].G, v[i].B}) < 1.0f);
        EXPECT_TRUE(std::fabs(v[i + 1000].X - p[2]) + std::fabs(ObjectZ(v[i + 1000], Half) + p[0]) < 1e-4);
    }
    const FeedbackBox first = sent.Bounds(0, 1000);     // out to 5 both ways in every direction
    const FeedbackBox turned = sent.Bounds(1000, 1000); // whose x is the first layer's z
    EXPECT_TRUE(first.MinX < -4.5f && first.MaxX > 4.5f && first.MinY < -4.5f && first.MaxY > 4.5f &&
                turned.MinX < -4.5f && turned.MaxX > 4.5f);
    EXPECT_TRUE(tinted > 40 && tinted < 160 && closest < 1.3) << tinted << ", " << closest;
    stars.Release();
}

} // namespace
