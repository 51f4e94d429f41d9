// The logo scene: the emblem's pose over the seven-row loop, the animation clock under any frame step, the
// state left behind, and the picture of floor and emblem read back from the screen.

#include "scene/Logo.h"
#include "render/Texture.h"
#include "support/GlTestFixture.h"

#include <GL/glu.h>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

namespace {

class LogoTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        Settings = SettingsStore();
        Clock = FrameClock();
        // Plain grey tiles under a half-bright lightmap, and white metal: every pixel is predictable.
        MakeSolid(FloorTexture, 200);
        MakeSolid(LightmapTexture, 128);
        MakeSolid(MetalTexture, 255);
        Logo.FloorImage = &FloorTexture;
        Logo.LightmapImage = &LightmapTexture;
        Logo.MetalImage = &MetalTexture;
        Logo.SettingsLink = &Settings;
        Logo.ClockLink = &Clock;
        glViewport(0, 0, gltest::WindowWidth, gltest::WindowHeight);
        glMatrixMode(GL_PROJECTION);
        gluPerspective(60.0, double(gltest::WindowWidth) / gltest::WindowHeight, 0.1, 100.0);
        glMatrixMode(GL_MODELVIEW);
        gluLookAt(0.0, 0.5, 6.0, 0.0, -0.5, 0.0, 0.0, 1.0, 0.0);
    }
    void TearDown() override {
        GlTest::TearDown();
        LogoTime = 0.0f;
        Logo = LogoScene();
    }

    // A one-texel image of the given grey, opaque.
    static void MakeSolid(Texture& texture, unsigned char grey) {
        glGenTextures(1, &texture.Name);
        glBindTexture(GL_TEXTURE_2D, texture.Name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, &grey);
    }

    static void DrawAt(float time) {
        LogoTime = time;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Logo.Draw();
    }

    // One frame at the given loop time, then the colour at the window pixel where a world point lands.
    testing::AssertionResult Shows(float time, double x, double y, double z, const gltest::Rgb& expected) {
        DrawAt(time);
        double model[16], projection[16], wx = 0.0, wy = 0.0, wz = 0.0;
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(x, y, z, model, projection, viewport, &wx, &wy, &wz);
        unsigned char rgba[4] = {};
        Context.ReadPixel(int(wx), int(wy), rgba);
        for (int channel = 0; channel < 3; ++channel)
            if (std::abs(rgba[channel] - expected[channel]) > 2)
                return testing::AssertionFailure()
                       << "read (" << int(rgba[0]) << ", " << int(rgba[1]) << ", " << int(rgba[2]) << ")";
        return testing::AssertionSuccess();
    }
};

TEST(LogoPoseTest, ShowsEachRowAtWholeTimesAndTheMeanHalfwayToTheNext) {
    using Row = float LogoKeyframe::*;
    using Field = float LogoPose::*;
    const std::pair<Row, Field> fields[] = {
        {&LogoKeyframe::X, &LogoPose::X},         {&LogoKeyframe::Y, &LogoPose::Y},
        {&LogoKeyframe::Z, &LogoPose::Z},         {&LogoKeyframe::Yaw, &LogoPose::Yaw},
        {&LogoKeyframe::Roll, &LogoPose::Roll},   {&LogoKeyframe::Red, &LogoPose::Red},
        {&LogoKeyframe::Green, &LogoPose::Green}, {&LogoKeyframe::Blue, &LogoPose::Blue}};
    for (int k = 0; k < LogoKeyframeCount; ++k) {
        const LogoKeyframe &row = LogoKeyframes[k], &next = LogoKeyframes[(k + 1) % LogoKeyframeCount];
        const LogoPose at = LogoPoseAt(float(k)), half = LogoPoseAt(k + 0.5f);
        for (const auto& [rowField, poseField] : fields) {
            EXPECT_EQ(at.*poseField, row.*rowField) << "row " << k;
            EXPECT_NEAR(half.*poseField, (row.*rowField + next.*rowField) / 2, 1e-4) << "row " << k;
        }
        EXPECT_FLOAT_EQ(at.DrawZ, row.Z + 1.0f);
        EXPECT_FLOAT_EQ(at.Alpha, (row.Z + 2.0f) / 2.0f);
    }
    EXPECT_FLOAT_EQ(LogoPoseAt(2.0f).Alpha, 1.0f);
    EXPECT_FLOAT_EQ(LogoPoseAt(4.0f).Alpha, 0.65f);
    // The swing eases out of each row: a quarter of the time covers (1 - cos 45 degrees) / 2 of the way.
    EXPECT_NEAR(LogoPoseAt(2.25f).Z, -2.0 * (1.0 - std::sqrt(0.5)) / 2.0, 1e-5);
    // The first second of every loop rests at the back, out of sight.
    for (float time : {0.0f, 0.3f, 0.75f, 1.0f, 7.5f, -6.1f})
        EXPECT_NEAR(LogoPoseAt(time).Alpha, 0.0f, 1e-6f) << time;
}

TEST_F(LogoTest, AnyFrameStepKeepsTheClockInsideTheLoop) {
    const float infinity = std::numeric_limits<float>::infinity();
    const struct {
        float Start, FrameTime, Speed, Expected;
    } cases[] = {
        {0.0f, 0.016f, 1.0f, 0.016f}, {6.5f, 1.0f, 1.0f, 0.5f},          {0.0f, 7.0f, 1.0f, 0.0f},
        {3.5f, 3.5f, 2.0f, 3.5f},     {2.0f, 1e9f, 1.0f, 1.0f},          {2.0f, 100.0f, 7.0f, 2.0f},
        {0.25f, -0.5f, 1.0f, 6.75f},  {2.0f, std::nanf(""), 1.0f, 2.0f}, {2.0f, infinity, 1.0f, 2.0f},
        {2.0f, 0.1f, infinity, 2.0f}, {2.0f, 1e30f, 1e30f, 2.0f}};
    for (const auto& c : cases) {
        LogoTime = c.Start;
        Clock.FrameTime = c.FrameTime;
        Logo.Speed = c.Speed;
        Logo.Draw();
        EXPECT_TRUE(LogoTime >= 0.0f && LogoTime < 7.0f) << LogoTime;
        EXPECT_NEAR(LogoTime, c.Expected, 1e-5f) << c.Start << " + " << c.FrameTime << " x " << c.Speed;
    }
}

TEST_F(LogoTest, LeavesTheRestingStateWithOrWithoutTexturesAndImages) {
    for (int textures : {1, 0})
        for (bool images : {true, false}) {
            SCOPED_TRACE(testing::Message() << "textures " << textures << ", images " << images);
            Settings.Textures = textures;
            Logo.FloorImage = images ? &FloorTexture : nullptr;
            Logo.LightmapImage = images ? &LightmapTexture : nullptr;
            Logo.MetalImage = images ? &MetalTexture : nullptr;
            DrawAt(2.0f);
            gltest::ExpectRestingState();
            EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
        }
}

TEST_F(LogoTest, EmblemShowsOverTheLitFloorOnlyWhileItIsNear) {
    const gltest::Rgb black{0, 0, 0}, red{255, 0, 0}, litTiles{100, 100, 100}, white{255, 255, 255};
    // Floor beside the emblem, its shadow and its reflection; the emblem's diagonal bar at its middle.
    EXPECT_TRUE(Shows(2.0f, -2.0, LogoScene::FloorY, 2.5, litTiles)) << "tiles times lightmap";
    EXPECT_TRUE(Shows(2.0f, 0.0, 0.0, 1.1, red));
    EXPECT_TRUE(Shows(2.0f, 0.0, 3.0, -5.0, black)) << "nothing above the horizon";
    EXPECT_FALSE(Shows(0.5f, 0.0, 0.0, 1.1, red)) << "the emblem is at the back, invisible";
    // Untextured, the floor is plain white and the lightmap pass leaves it so; the emblem keeps its metal.
    Settings.Textures = 0;
    EXPECT_TRUE(Shows(2.0f, -2.0, LogoScene::FloorY, 2.5, white));
    EXPECT_TRUE(Shows(2.0f, 0.0, 0.0, 1.1, red));
}

} // namespace
