#include "support/GlTestFixture.h"

#include "render/Light.h"
#include "scene/OscillatorBank.h"

#include <cmath>
#include <tuple>
#include <utility>

namespace {

using gltest::GlTest;

struct LightValues {
    float Ambient[4], Diffuse[4], Specular[4], Position[4], Direction[3];
    float ModelAmbient[4], MaterialSpecular[4];
    float Shininess, Cutoff, Exponent;
};

// What OpenGL holds for light 0 and the front material. Positions come back in eye coordinates; the
// model-view matrix is the identity while they are sent.
LightValues ReadLight() {
    LightValues v;
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, v.Ambient);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, v.Diffuse);
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, v.Specular);
    glGetLightfv(GL_LIGHT0, GL_POSITION, v.Position);
    glGetLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, v.Direction);
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &v.Cutoff);
    glGetLightfv(GL_LIGHT0, GL_SPOT_EXPONENT, &v.Exponent);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, v.ModelAmbient);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, v.MaterialSpecular);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &v.Shininess);
    return v;
}

void ExpectColour(const float* actual, float level) {
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(actual[i], level) << i;
    EXPECT_FLOAT_EQ(actual[3], 1.0f);
}

class LightTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

TEST_F(LightTest, DefaultsReachOpenGLAsASpotAimedAtTheOrigin) {
    Light light;
    light.Apply();
    const LightValues v = ReadLight();
    for (const auto& [colour, level] :
         {std::pair{v.ModelAmbient, 0.25f}, std::pair{v.Ambient, 0.25f}, std::pair{v.Diffuse, 0.5f},
          std::pair{v.Specular, 0.75f}, std::pair{v.MaterialSpecular, 1.0f}})
        ExpectColour(colour, level);
    EXPECT_EQ(std::make_tuple(v.Shininess, v.Cutoff, v.Exponent), std::make_tuple(25.0f, 180.0f, 1.0f));
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(v.Position[i], 1.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(v.Direction[i], -1.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
}

TEST_F(LightTest, DirectionalLightAndValuesOpenGLWouldRefuse) {
    Light light;
    light.Spot = 0;
    light.SetPosition(2.0f, 3.0f, 4.0f);
    light.Shininess = 10.9f; // sent truncated
    light.Cutoff = 45.0f;
    light.Intensity = 2.0f;
    light.Apply();
    LightValues v = ReadLight();
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(v.Position[i], -2.0f - i);
    EXPECT_EQ(std::make_tuple(v.Position[3], v.Shininess, v.Cutoff), std::make_tuple(0.0f, 10.0f, 45.0f));
    ExpectColour(v.Diffuse, 1.0f); // 0.5 x intensity 2

    // A cut-off between 90 and 180, or a shininess or exponent out of range, keeps the last valid value
    // in GL while the light keeps what it was given.
    light.Cutoff = 120.0f;
    light.Shininess = 500.0f;
    light.Exponent = -3.0f;
    light.Apply();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    v = ReadLight();
    EXPECT_EQ(std::make_tuple(v.Cutoff, v.Shininess, v.Exponent, light.Cutoff),
              std::make_tuple(45.0f, 10.0f, 1.0f, 120.0f));
}

TEST_F(LightTest, OrbitCirclesAtHeightAndCarriesTheFlare) {
    gltest::ResetProgram();
    LightBank.Init(4);
    LightBank.Frozen[1] = 1;
    Clock.FrameTime = 0.05f;
    Settings.SpotLights = 0;
    float lowestX = 10.0f, highestX = -10.0f;
    for (int frame = 0; frame < 4000; ++frame) {
        MoveLight();
        ASSERT_EQ(MainLight.Y, 1.25f);
        ASSERT_NEAR(std::hypot(MainLight.X, MainLight.Z), 2.0f, 1e-3f); // a circle of radius 2
        ASSERT_EQ(LightFlare.X, MainLight.X);
        ASSERT_EQ(LightFlare.Z, MainLight.Z);
        lowestX = std::min(lowestX, MainLight.X);
        highestX = std::max(highestX, MainLight.X);
    }
    EXPECT_GE(lowestX, -2.0f);
    EXPECT_LE(highestX, 2.0f);
    EXPECT_LT(lowestX, -1.5f); // it goes round
    EXPECT_GT(highestX, 1.5f);

    // With spot lights on, the tuned values reach the light.
    Settings.SpotLights = 1;
    Settings.Cutoff = 30.0f;
    Settings.Shininess = 64.0f;
    MoveLight();
    EXPECT_EQ(ReadLight().Cutoff, 30.0f);
    EXPECT_EQ(MainLight.Shininess, 64.0f);
}

} // namespace
