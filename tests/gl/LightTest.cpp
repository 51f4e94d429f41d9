// The light and material as OpenGL holds them after Apply, and the light's orbit.

#include "render/Light.h"
#include "support/GlTestFixture.h"

#include <cmath>
#include <vector>

namespace {

class LightTest : public gltest::GlTest {};

std::vector<float> Sent(GLenum light, GLenum name, int count) {
    std::vector<float> values(4, 0.0f);
    light == 0   ? glGetFloatv(name, values.data())
    : light == 1 ? glGetMaterialfv(GL_BACK, name, values.data())
                 : glGetLightfv(light, name, values.data());
    values.resize(std::size_t(count));
    return values;
}

// Each colour is its factor times the light's colour times its intensity, alpha 1; the ambient also as the
// light model's; the material's specular is the reflective factor, its shininess truncated. A spot light
// sits at its place aimed at the origin, a directional one shines from the opposite side. Values OpenGL
// refuses leave the last valid ones in force.
TEST_F(LightTest, ApplySendsLightAndMaterialToTheSelectedLight) {
    Light light;
    light.LightIndex = 2, light.Red = 1.0f, light.Green = 0.5f, light.Blue = 0.25f, light.Intensity = 2.0f;
    light.Ambient = 0.1f, light.Diffuse = 0.2f, light.Specular = 0.3f, light.Reflective = 0.4f;
    light.Shininess = 10.9f, light.Cutoff = 45.0f, light.Exponent = 3.0f;
    light.SetPosition(2.0f, 3.0f, 4.0f);
    glLoadIdentity();
    light.Apply();
    const auto colour = [](double factor) {
        return std::vector<float>{float(factor * 2), float(factor), float(factor / 2), 1};
    };
    EXPECT_EQ(Sent(0, GL_LIGHT_MODEL_AMBIENT, 4), colour(0.1));
    EXPECT_EQ(Sent(GL_LIGHT2, GL_AMBIENT, 4), colour(0.1));
    EXPECT_EQ(Sent(GL_LIGHT2, GL_DIFFUSE, 4), colour(0.2));
    EXPECT_EQ(Sent(GL_LIGHT2, GL_SPECULAR, 4), colour(0.3));
    EXPECT_EQ(Sent(1, GL_SPECULAR, 4), colour(0.4));
    EXPECT_EQ(Sent(1, GL_SHININESS, 1), std::vector<float>{10});
    EXPECT_EQ(Sent(GL_LIGHT2, GL_SPOT_CUTOFF, 1), std::vector<float>{45});
    EXPECT_EQ(Sent(GL_LIGHT2, GL_SPOT_EXPONENT, 1), std::vector<float>{3});
    EXPECT_EQ(Sent(GL_LIGHT2, GL_POSITION, 4), (std::vector<float>{2, 3, 4, 1}));
    EXPECT_EQ(Sent(GL_LIGHT2, GL_SPOT_DIRECTION, 3), (std::vector<float>{-2, -3, -4}));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2) && !glIsEnabled(GL_LIGHT0));
    light.Spot = 0, light.Cutoff = 120.0f, light.Shininess = 500.0f;
    light.Apply();
    EXPECT_EQ(Sent(GL_LIGHT2, GL_POSITION, 4), (std::vector<float>{-2, -3, -4, 0}));
    EXPECT_EQ(Sent(GL_LIGHT2, GL_SPOT_CUTOFF, 1), std::vector<float>{45});
    EXPECT_EQ(Sent(1, GL_SHININESS, 1), std::vector<float>{10});
}

// The light circles at height 1.25, two units from the middle: x = 2 sin(rate x phase), z = 2 cos of it,
// its flare with it; with spot lights on it takes the tuned values and applies them.
TEST_F(LightTest, OrbitCirclesAtHeightAndAppliesTheTunedValues) {
    support::ResetProgram();
    LightBank.Init(4);
    LightBank.Phase[1] = 0.05f; // at the default rate 10: half a radian round
    Settings.SpotLights = 1, Settings.Cutoff = 30.0f, Settings.Diffuse = 0.7f;
    glLoadIdentity();
    MoveLight();
    EXPECT_NEAR(MainLight.X, 2.0 * std::sin(0.5), 1e-5);
    EXPECT_NEAR(MainLight.Z, 2.0 * std::cos(0.5), 1e-5);
    EXPECT_TRUE(MainLight.Y == 1.25f && LightFlare.X == MainLight.X && LightFlare.Y == 1.25f &&
                LightFlare.Z == MainLight.Z);
    EXPECT_EQ(Sent(GL_LIGHT0, GL_SPOT_CUTOFF, 1), std::vector<float>{30});
    EXPECT_EQ(Sent(GL_LIGHT0, GL_DIFFUSE, 4), (std::vector<float>{0.7f, 0.7f, 0.7f, 1}));
}

} // namespace
