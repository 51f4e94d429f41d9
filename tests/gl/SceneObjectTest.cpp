// The drawing foundation as OpenGL receives it: the state an object switches on and back off, the blend
// factor tables, the sprite that faces the camera, and the sphere with its normals.

#include "scene/Primitives.h"
#include "support/GlTestFixture.h"
#include "support/Turns.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace support;

class SceneObjectTest : public gltest::GlTest {};

// Each flag switches on its state (the alpha test with the object's reference, blending with its two
// selectors, the depth test, depth writes off, texturing with its image) and the colour is set; the end
// switches exactly that back to the resting state. The selectors index the factor tables, as the user's
// blend selectors do.
TEST_F(SceneObjectTest, RenderStateRuleBlendFactorTablesAndTheSphere) {
    // The source factors by selector, then the destination factors.
    const GLint factors[2][9] = {{GL_ZERO, GL_ONE, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA,
                                  GL_ONE_MINUS_DST_ALPHA, GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR,
                                  GL_SRC_ALPHA_SATURATE},
                                 {GL_ZERO, GL_ONE, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA,
                                  GL_ONE_MINUS_DST_ALPHA, GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR}};
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Texture image;
    glGenTextures(1, &image.Name);
    SettingsStore prefs;
    GLint state[4];
    GLfloat reference = -1.0f, colour[4];
    for (int flags = 0; flags < 32; ++flags) {
        SceneObject o;
        o.AlphaTest = flags & 1;
        o.Blend = flags >> 1 & 1;
        o.DepthTest = flags >> 2 & 1;
        o.DepthWrite = flags >> 3 & 1;
        prefs.Textures = flags >> 4;
        o.AlphaRef = 0.25f;
        o.BlendSrc = flags % 9;
        o.BlendDst = flags % 8;
        o.Texture = &image;
        o.Red = 0.2f;
        o.Green = 0.4f;
        o.Blue = 0.6f;
        o.Alpha = 0.8f;
        glBindTexture(GL_TEXTURE_2D, 0);
        o.BeginRenderState(prefs);
        glGetFloatv(GL_ALPHA_TEST_REF, &reference);
        glGetFloatv(GL_CURRENT_COLOR, colour);
        glGetIntegerv(GL_DEPTH_WRITEMASK, &state[0]);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &state[1]);
        glGetIntegerv(GL_BLEND_SRC, &state[2]);
        glGetIntegerv(GL_BLEND_DST, &state[3]);
        EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST) == o.AlphaTest && reference == (o.AlphaTest ? 0.25f : 0.0f) &&
                    glIsEnabled(GL_BLEND) == o.Blend && glIsEnabled(GL_DEPTH_TEST) == o.DepthTest &&
                    state[0] == o.DepthWrite && glIsEnabled(GL_TEXTURE_2D) == prefs.Textures &&
                    state[1] == (prefs.Textures ? GLint(image.Name) : 0) && colour[0] == 0.2f &&
                    colour[1] == 0.4f && colour[2] == 0.6f && colour[3] == 0.8f &&
                    (!o.Blend || (state[2] == factors[0][flags % 9] && state[3] == factors[1][flags % 8])))
            << flags;
        o.EndRenderState(prefs);
        gltest::ExpectRestingState();
    }
    for (int selector = 0; selector < 9; ++selector) {
        SetBlendFactors(selector, 7 - selector % 8);
        glGetIntegerv(GL_BLEND_SRC, &state[2]);
        glGetIntegerv(GL_BLEND_DST, &state[3]);
        EXPECT_TRUE(state[2] == factors[0][selector] && state[3] == factors[1][7 - selector % 8]) << selector;
    }
    // A sphere of stacks - 1 bands, each a strip of 2 slices triangles, runs from the bottom pole to the top
    // one.
    ObjectView(2);
    const Feedback sent = CaptureFeedback([] { DrawSphere(1.5, 8, 5, 1, 1, 0, 0); });
    EXPECT_EQ(sent.Count(FeedbackPrimitive::Polygon), 2 * 8 * 4);
    EXPECT_NEAR(sent.Bounds().MinY, -1.5f, 1e-4f);
    EXPECT_NEAR(sent.Bounds().MaxY, 1.5f, 1e-4f);
    // Lit from straight above, each vertex is as bright as its outward normal faces up (OpenGL's default
    // material: ambient 0.2 of the model's 0.2, diffuse 0.8).
    const GLfloat above[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, above);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const Feedback lit = CaptureFeedback([] { DrawSphere(1.5, 8, 5, 1, 1, 0, 0); });
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    for (const FeedbackVertex& v : lit.Vertices())
        EXPECT_NEAR(v.R, 0.04f + 0.8f * std::max(0.0f, v.Y / 1.5f), 1e-3f) << v.Y;
}

// A sprite that faces the camera lies flat on the screen whatever the camera's pitch and yaw: twice its
// width by twice its height about its place as the camera sees it, its image upright.
TEST_F(SceneObjectTest, SpriteFacesTheCameraWithItsImageUpright) {
    SettingsStore prefs;
    SceneObject3D camera, sprite;
    camera.Pitch = 30.0f;
    camera.Yaw = 40.0f;
    sprite.X = 1.0f;
    sprite.Y = 0.5f;
    sprite.Width = 0.5f;
    sprite.Height = 0.25f;
    ObjectView(4);
    glRotatef(camera.Pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(camera.Yaw, 0.0f, 1.0f, 0.0f);
    const Feedback sent = CaptureFeedback([&] { sprite.Draw(camera, prefs); });
    const Point3 c = Turn(0, 30) * Turn(1, 40) * Point3{1, 0.5, 0};
    const float x = float(c[0]), y = float(c[1]);
    EXPECT_TRUE(Near(sent.Bounds(), {x - 0.5f, y - 0.25f, x + 0.5f, y + 0.25f, 0, 0, 1, 1}));
    for (const FeedbackVertex& v : sent.Vertices())
        EXPECT_LT(std::fabs(v.S - (v.X > x)) + std::fabs(v.T - (v.Y > y)) + std::fabs(ObjectZ(v, 4) - c[2]),
                  1e-4);
}

} // namespace
