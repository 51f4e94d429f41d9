// The drawing foundation as OpenGL receives it: the state an object switches on and back off, the blend
// factor tables, and the geometry of the quad, the height field and the sphere in object coordinates.

#include "render/HeightField.h"
#include "scene/Primitives.h"
#include "support/GlTestFixture.h"
#include "support/Turns.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace support;
constexpr int Half = 4;

bool Near(const FeedbackVertex& v, const Point3& p) {
    return std::hypot(v.X - p[0], v.Y - p[1], ObjectZ(v, Half) - p[2]) < 1e-4;
}

class SceneObjectTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        ObjectView(Half);
        glGenTextures(1, &Image.Name);
    }
    SettingsStore Prefs;
    Texture Image;
};

// Each flag switches on its state (the alpha test with the object's reference, blending with its two
// selectors, the depth test, depth writes off, texturing with its image) and the colour is set; the end
// switches exactly that back to the resting state. The selectors index the factor tables, as the user's
// blend selectors do.
TEST_F(SceneObjectTest, RenderStateRuleAndBlendFactorTables) {
    const GLenum sources[] = {GL_ZERO,
                              GL_ONE,
                              GL_SRC_ALPHA,
                              GL_ONE_MINUS_SRC_ALPHA,
                              GL_DST_ALPHA,
                              GL_ONE_MINUS_DST_ALPHA,
                              GL_DST_COLOR,
                              GL_ONE_MINUS_DST_COLOR,
                              GL_SRC_ALPHA_SATURATE};
    const GLenum destinations[] = {GL_ZERO,      GL_ONE,
                                   GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                                   GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
                                   GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR};
    GLint state[3];
    for (int flags = 0; flags < 32; ++flags) {
        SCOPED_TRACE(flags);
        SceneObject object;
        object.AlphaTest = flags & 1, object.Blend = flags >> 1 & 1, object.DepthTest = flags >> 2 & 1;
        object.DepthWrite = flags >> 3 & 1, Prefs.Textures = flags >> 4 & 1;
        object.AlphaRef = 0.25f, object.BlendSrc = flags % 9, object.BlendDst = flags % 8,
        object.Texture = &Image;
        object.Red = 0.2f, object.Green = 0.4f, object.Blue = 0.6f, object.Alpha = 0.8f;
        object.BeginRenderState(Prefs);
        GLfloat reference = -1.0f, colour[4];
        glGetFloatv(GL_ALPHA_TEST_REF, &reference), glGetFloatv(GL_CURRENT_COLOR, colour);
        glGetIntegerv(GL_DEPTH_WRITEMASK, &state[0]), glGetIntegerv(GL_TEXTURE_BINDING_2D, &state[1]);
        EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST) == object.AlphaTest &&
                    reference == (flags & 1 ? 0.25f : 0.0f));
        EXPECT_TRUE(glIsEnabled(GL_BLEND) == object.Blend && glIsEnabled(GL_DEPTH_TEST) == object.DepthTest &&
                    state[0] == object.DepthWrite && glIsEnabled(GL_TEXTURE_2D) == Prefs.Textures &&
                    state[1] == (Prefs.Textures ? GLint(Image.Name) : 0));
        EXPECT_TRUE(colour[0] == 0.2f && colour[1] == 0.4f && colour[2] == 0.6f && colour[3] == 0.8f);
        glGetIntegerv(GL_BLEND_SRC, &state[0]), glGetIntegerv(GL_BLEND_DST, &state[1]);
        if (object.Blend) {
            EXPECT_TRUE(state[0] == GLint(sources[flags % 9]) && state[1] == GLint(destinations[flags % 8]));
        }
        object.EndRenderState(Prefs);
        gltest::ExpectRestingState();
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    for (int selector = 0; selector < 9; ++selector) {
        SetBlendFactors(selector, 7 - selector % 8);
        glGetIntegerv(GL_BLEND_SRC, &state[0]), glGetIntegerv(GL_BLEND_DST, &state[1]);
        EXPECT_TRUE(state[0] == GLint(sources[selector]) &&
                    state[1] == GLint(destinations[7 - selector % 8]));
    }
}

// The quad spans ±width by ±height about the object's place, texture 0..1, rolled by its angle, then
// turned to face the camera (minus the camera's yaw, then minus its pitch) or by its own yaw and pitch.
// An invisible object sends nothing and changes no state.
TEST_F(SceneObjectTest, QuadFacesTheCameraOrTurnsByItsOwnAngles) {
    SceneObject3D camera, quad;
    camera.Yaw = 40.0f, camera.Pitch = 25.0f;
    quad.X = 1.0f, quad.Y = -0.5f, quad.Z = 0.25f, quad.Width = 0.5f, quad.Height = 0.25f, quad.Angle = 30.0f;
    quad.Yaw = -60.0f, quad.Pitch = 10.0f, Prefs.Textures = 0;
    for (int face : {1, 0}) {
        quad.FaceCamera = face;
        const Turn3 m = Turn(2, 30) * (face ? Turn(1, -40) * Turn(0, -25) : Turn(1, -60) * Turn(0, 10));
        const Feedback sent = CaptureFeedback([&] { quad.Draw(camera, Prefs); });
        ASSERT_EQ(sent.Vertices().size(), 6u);
        for (const FeedbackVertex& v : sent.Vertices()) {
            const Point3 p = m * Point3{(2 * v.S - 1) * 0.5, (2 * v.T - 1) * 0.25, 0};
            EXPECT_TRUE(Near(v, {1.0 + p[0], -0.5 + p[1], 0.25 + p[2]}))
                << face << ": " << v.S << ", " << v.T;
        }
        gltest::ExpectRestingState();
    }
    quad.Visible = 0;
    glColor3f(0.1f, 0.1f, 0.1f);
    EXPECT_TRUE(CaptureFeedback([&] { quad.Draw(camera, Prefs); }).Primitives.empty());
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.1f);
}

// A flat field lies at its Y, its vertex i, j at i dx - width / 2 - dx / 4 and j dz - height / 2 - dz / 4,
// drawn as rows - 1 strips with texture (i / du + offset u, j / dv + offset v), du and dv the steps over
// the repeat count. A sphere of stacks - 1 bands has every vertex on its radius, the band edges at v =
// ov + sv k / stacks, u running to ou + su, outward (counter-clockwise) faces, nothing outside 3 to 100.
TEST_F(SceneObjectTest, HeightFieldAndSphereGeometry) {
    static HeightField field; // too big for the stack
    field.Columns = 3, field.Rows = 2, field.Width = 4.0f, field.Height = 3.0f, field.Y = 0.5f;
    field.TextureRepeat = 2.0f, field.TextureOffsetU = 0.25f, field.TextureOffsetV = 0.5f;
    field.MakeFlat();
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f); // the field's z up the screen
    const Feedback grid = CaptureFeedback([&] { field.Draw(Prefs); });
    glLoadIdentity();
    EXPECT_EQ(grid.Count(FeedbackPrimitive::Polygon), 4);
    for (const FeedbackVertex& v : grid.Vertices())
        EXPECT_TRUE(Near(v, {2.0 * (v.S - 0.25) - 2.5, 3.0 * (v.T - 0.5) * 0.5 - 2.25, -0.5}))
            << v.S << ", " << v.T;

    const struct {
        int Slices, Stacks;
        double Su, Sv, Ou, Ov;
    } spheres[] = {{3, 3, 1, 1, 0, 0},
                   {8, 5, 2, 0.5, 0.25, -1},
                   {100, 100, 1, 3, 0, 0.5},
                   {2, 10, 1, 1, 0, 0},
                   {10, 101, 1, 1, 0, 0}};
    for (const auto& c : spheres) {
        SCOPED_TRACE(testing::Message() << c.Slices << " x " << c.Stacks);
        const Feedback sent =
            CaptureFeedback([&] { DrawSphere(1.5, c.Slices, c.Stacks, c.Su, c.Sv, c.Ou, c.Ov); }, 1 << 20);
        const bool drawn = c.Slices >= 3 && c.Stacks <= 100;
        EXPECT_EQ(sent.Count(FeedbackPrimitive::Polygon), drawn ? 2 * c.Slices * (c.Stacks - 1) : 0);
        for (const FeedbackPrimitive& t : sent.Primitives) {
            Point3 p[3], normal{};
            for (int i = 0; i < 3; ++i) {
                const FeedbackVertex& v = t.Vertices[std::size_t(i)];
                p[i] = {v.X, v.Y, ObjectZ(v, Half)};
                EXPECT_NEAR(std::hypot(p[i][0], p[i][1], p[i][2]), 1.5, 1e-4);
                const double ring = std::acos(std::clamp(-p[i][1] / 1.5, -1.0, 1.0)) * (c.Stacks - 1) / M_PI;
                EXPECT_NEAR(v.T, c.Ov + c.Sv * std::round(ring) / c.Stacks, 1e-5);
                EXPECT_TRUE(v.S >= c.Ou - 1e-6 && v.S <= c.Ou + c.Su + 1e-6 &&
                            (v.S < c.Ou + c.Su - 1e-6 || std::fabs(p[i][0]) < 1e-5));
            }
            for (int a = 0; a < 3; ++a) // (b - a) x (c - a), seen from outside
                normal[a] =
                    (p[1][(a + 1) % 3] - p[0][(a + 1) % 3]) * (p[2][(a + 2) % 3] - p[0][(a + 2) % 3]) -
                    (p[1][(a + 2) % 3] - p[0][(a + 2) % 3]) * (p[2][(a + 1) % 3] - p[0][(a + 1) % 3]);
            EXPECT_GE(normal[0] * p[0][0] + normal[1] * p[0][1] + normal[2] * p[0][2], -1e-6);
        }
    }
}

} // namespace
