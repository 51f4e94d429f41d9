// The sprite that faces the camera (the light's flare), as OpenGL receives it.

#include "scene/Primitives.h"
#include "support/GlTestFixture.h"
#include "support/Turns.h"

#include <cmath>

namespace {

using namespace support;

class SceneObjectTest : public gltest::GlTest {};

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

// The plasma's blend selectors b (0 to 8) and B (0 to 7) pick from OpenGL's factors in this order; the
// sixth differs, a colour of the other side, and stray values keep to the ends.
TEST_F(SceneObjectTest, BlendSelectorsPickTheirFactors) {
    const GLint factors[2][10] = {
        {GL_ZERO, GL_ONE, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
         GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR, GL_SRC_ALPHA_SATURATE, GL_SRC_ALPHA_SATURATE},
        {GL_ZERO, GL_ONE, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
         GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR}};
    for (int selector = 0; selector < 10; ++selector) {
        GLint got[2];
        SetBlendFactors(selector, 9 - selector);
        glGetIntegerv(GL_BLEND_SRC, &got[0]);
        glGetIntegerv(GL_BLEND_DST, &got[1]);
        EXPECT_TRUE(got[0] == factors[0][selector] && got[1] == factors[1][9 - selector]) << selector;
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

} // namespace
