#include "support/GlTestFixture.h"

#include "app/KeyboardControls.h"
#include "app/Opening.h"
#include "render/InputState.h"
#include "render/Light.h"
#include "render/Texture.h"
#include "scene/Logo.h"
#include "scene/PlasmaGlobe.h"

#include <vector>

namespace {

using gltest::ProgramTest;

class OpeningTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Mouse = MouseState();
    }
    void Click() { Mouse.Button(ButtonLeft, ButtonDown); }
};

TEST_F(OpeningTest, ClickEndsTheOpeningForTheRestOfTheRun) {
    FramesUntil(3000);
    EXPECT_STREQ(StatusLine.Text, "<Click> to continue,,,");
    const float logoTime = LogoTime;
    const float pitch = Globe1.Pitch;

    // The click frame draws neither the logo nor the globes; the globes follow from the next frame.
    Click();
    FrameAt(3016);
    EXPECT_EQ(Logo.Finished, 1);
    EXPECT_EQ(Settings.CameraMode, 0);
    EXPECT_EQ(StatusLine.ShowUntil, 0.0f);
    EXPECT_EQ(LogoTime, logoTime);
    EXPECT_EQ(Globe1.Pitch, pitch);
    FrameAt(3032);
    EXPECT_NE(Globe1.Pitch, pitch);
    EXPECT_EQ(LogoTime, logoTime);

    // A reset does not bring the logo back.
    testing::internal::CaptureStdout();
    InitVars();
    testing::internal::GetCapturedStdout();
    FrameAt(3048);
    EXPECT_EQ(Logo.Finished, 1);
    EXPECT_EQ(LogoTime, logoTime);
}

TEST_F(OpeningTest, LightKeepsCirclingWhilePaused) {
    Paused = 1;
    FrameAt(1000);
    const float x = MainLight.X, z = MainLight.Z;
    FramesUntil(3000, 16);
    EXPECT_TRUE(MainLight.X != x || MainLight.Z != z);
    EXPECT_EQ(MainLight.Y, 1.25f);
}

TEST_F(OpeningTest, CaptureLandsInTheExitTextureAtTheWindowsSize) {
    Logo.Finished = 1;
    GlobeCount = 3;
    FramesUntil(3000, 16);
    CaptureScreen(256, ExitTexture.Name);
    EXPECT_EQ(View.Width, gltest::WindowWidth);
    EXPECT_EQ(View.Height, gltest::WindowHeight);

    std::vector<unsigned char> screen(256 * 256 * 4), texture(256 * 256 * 4);
    glReadPixels(0, 0, 256, 256, GL_RGBA, GL_UNSIGNED_BYTE, screen.data());
    glBindTexture(GL_TEXTURE_2D, ExitTexture.Name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texture.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    int lit = 0;
    for (size_t i = 0; i < screen.size(); i += 4) {
        ASSERT_EQ(screen[i], texture[i]) << "texel " << i / 4;
        ASSERT_EQ(screen[i + 1], texture[i + 1]) << "texel " << i / 4;
        ASSERT_EQ(screen[i + 2], texture[i + 2]) << "texel " << i / 4;
        lit += screen[i] + screen[i + 1] + screen[i + 2] > 60;
    }
    EXPECT_GT(lit, 100) << "the globes should be in the picture";
}

TEST_F(OpeningTest, ShatterTilesStartWholeThenScatterAndFall) {
    Logo.Finished = 1;
    FramesUntil(3000, 16);
    OnKeyboard(27, 0, 0);
    FrameAt(3016); // the capture; the tiles are laid out and take their first step
    ASSERT_EQ(ExitState, 2);
    const float tileWidth = gltest::WindowWidth / 6.0f, tileHeight = gltest::WindowHeight / 6.0f;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) {
            const ShatterTile& tile = ShatterTiles[i][j];
            EXPECT_NEAR(tile.X, tileWidth * (i + 0.5f), 200.0f * 0.016f + 1e-3f);
            EXPECT_FLOAT_EQ(tile.Y, tileHeight * (j + 0.5f));
            EXPECT_GE(tile.VX, -200.0f);
            EXPECT_LT(tile.VX, 200.0f);
            EXPECT_GE(tile.Spin, -100.0f);
            EXPECT_LT(tile.Spin, 100.0f);
        }

    // Gravity of 1000 pixels per second squared: about 500 t^2 pixels after t seconds.
    const float startY = ShatterTiles[2][3].Y;
    int frames = 1;
    while (Fake.NowMs + 16 <= 3016 + 1900) {
        FrameAt(Fake.NowMs + 16);
        ++frames;
    }
    const float t = frames * 0.016f;
    EXPECT_NEAR(startY - ShatterTiles[2][3].Y, 500.0f * t * t, 0.03f * 500.0f * t * t);
    EXPECT_EQ(Fake.ExitStatus, -1);
    FramesUntil(3016 + 2100, 16);
    EXPECT_EQ(Fake.ExitStatus, 0);
}

} // namespace
