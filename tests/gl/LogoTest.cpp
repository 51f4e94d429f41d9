// The opening's logo scene as OpenGL receives it, in world coordinates: the emblem through its loop with its
// shadow and reflection, and its floor; and the light that moves over every scene.

#include "render/Light.h"
#include "scene/Logo.h"
#include "support/GlTestFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using namespace support;
constexpr int Half = 8;

class LogoTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetProgram();
        ObjectView(Half);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); // as the program rests
        std::srand(3);
    }
};

// At whole times the emblem shows its row, in between it eases from row to row (the colour straight):
// drawn at depth z + 1 with opacity (z + 2) / 2, two bars 1.4 sizes apart along x joined by a diagonal of
// 0.9 sizes at 45 degrees, 0.4 sizes thick, turned by yaw about y after roll about z. Its shadow is each of
// its points carried along the light's direction (-2, 2, 1) onto the plane 0.1 above the floor (y -1.5),
// grey at half its opacity; the reflection mirrors it in the floor at a tenth. The floor's 10 x 10 grid
// spans ten units, drawn with the tiles six times over, then the lightmap once at half opacity.
TEST_F(LogoTest, LogoEmblemShowsEachRowWithItsShadowReflectionAndFloor) {
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
}

// The light circles at height 1.25 two units from the middle, its flare with it, aimed at the origin from
// where it is; with spot lights on it sends the values tuned in the menu (its colour is white): the
// reflective factor as the material's specular, the shininess truncated, a cutoff of 180 after a narrow one.
TEST_F(LogoTest, TheLightCirclesAtItsHeightAndSendsTheTunedValues) {
    LightBank.Init(4);
    LightBank.Phase[1] = 0.05f; // at the orbit rate 10: half a radian round
    Settings.SpotLights = 1;
    Settings.Ambient = 0.1f;
    Settings.Diffuse = 0.7f;
    Settings.Specular = 0.3f;
    Settings.Reflective = 0.6f;
    Settings.Shininess = 20.5f;
    Settings.Cutoff = 180.0f;
    Settings.Exponent = 5.0f;
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 45.0f);
    MoveLight();
    GLfloat sent[10][4];
    const GLenum names[] = {GL_AMBIENT,       GL_DIFFUSE,  GL_SPECULAR,      GL_SPOT_CUTOFF,
                            GL_SPOT_EXPONENT, GL_POSITION, GL_SPOT_DIRECTION};
    for (int i = 0; i < 7; ++i)
        glGetLightfv(GL_LIGHT0, names[i], sent[i]);
    glGetMaterialfv(GL_BACK, GL_SPECULAR, sent[7]);
    glGetMaterialfv(GL_BACK, GL_SHININESS, sent[8]);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, sent[9]);
    EXPECT_EQ(std::make_tuple(sent[0][1], sent[0][3], sent[1][1], sent[2][2], sent[3][0], sent[4][0],
                              sent[5][1], sent[5][3], sent[6][1], sent[7][0], sent[8][0], sent[9][2]),
              std::make_tuple(0.1f, 1.0f, 0.7f, 0.3f, 180.0f, 5.0f, 1.25f, 1.0f, -1.25f, 0.6f, 20.0f, 0.1f));
    EXPECT_TRUE(std::fabs(MainLight.X - 2 * std::sin(0.5f)) + std::fabs(MainLight.Z - 2 * std::cos(0.5f)) <
                    1e-5 &&
                std::fabs(sent[5][0] - MainLight.X) < 1e-5 && LightFlare.X == MainLight.X &&
                LightFlare.Y == MainLight.Y && LightFlare.Z == MainLight.Z);
}

} // namespace
