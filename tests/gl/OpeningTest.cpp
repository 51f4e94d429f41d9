// The opening logo until the first click, and the closing: the last picture captured and shattered into
// six by six falling tiles.

#include "support/GlTestFixture.h"


namespace {

using namespace gltest;
using namespace support;
using OpeningTest = ProgramTest;

TEST_F(OpeningTest, ClickEndsTheOpeningForTheRestOfTheRun) {
    Paused = 1; // the light circles on
    Settings.ObjectSize = 1.25f;
    FramesUntil(1000, FrameMs);
    const float lightX = MainLight.X;
    const float logoTime = LogoTime;
    const float pitch = Globe1.Pitch;
    FramesUntil(3000, FrameMs);
    EXPECT_STREQ(StatusLine.Text, "<Click> to continue,,,");
    EXPECT_NE(MainLight.X, lightX);
    EXPECT_EQ(std::make_tuple(LogoTime != logoTime, Logo.Size), std::make_tuple(true, 1.25f));
    EXPECT_TRUE(Logo.LightPosition[0] == MainLight.X && Logo.LightPosition[1] == MainLight.Y &&
                Logo.LightPosition[2] == MainLight.Z);

    // The click frame draws neither the logo nor the globes; the globes follow, with the camera wandering.
    Mouse.Button(ButtonLeft, ButtonDown);
    FrameAt(Fake.NowMs + FrameMs);
    EXPECT_EQ(std::make_tuple(Logo.Finished, Settings.CameraMode, StatusLine.ShowUntil, MainLight.OrbitRate,
                              Globe1.Pitch),
              std::make_tuple(1, 0, 0.0f, 10.0f, pitch));
    const float logoEnd = LogoTime;
    FrameAt(Fake.NowMs + FrameMs);
    EXPECT_NE(Globe1.Pitch, pitch);
    ConsoleOutput(InitVars); // a reset does not bring the logo back
    FrameAt(Fake.NowMs + FrameMs);
    EXPECT_EQ(std::make_tuple(Logo.Finished, LogoTime), std::make_tuple(1, logoEnd));
}

// With letterbox 6 the capture holds the letterboxed scene in the middle of the 256 x 256 texture; the
// tiles lie over the whole window, tile (i, j) showing the (i, j) sixth of the picture, unsheared and
// unmirrored, then fall 500 t^2 pixels in t seconds and are gone before the program ends.
TEST_F(OpeningTest, QuitShattersTheCapturedPictureIntoFallingTiles) {
    Settings.Letterbox = 6;
    Logo.Finished = 1;
    GlobeCount = 3;
    FramesUntil(3000, FrameMs);
    CaptureScreen(256, ExitTexture.Name);
    EXPECT_EQ(std::make_tuple(View.Width, View.Height), std::make_tuple(WindowWidth, WindowHeight));
    std::vector<unsigned char> screen(256 * 256 * 4), texture(256 * 256 * 4);
    glReadPixels(0, 0, 256, 256, GL_RGBA, GL_UNSIGNED_BYTE, screen.data());
    glBindTexture(GL_TEXTURE_2D, ExitTexture.Name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texture.data());
    for (size_t i = 0; i < screen.size(); i += 4)
        ASSERT_EQ(Rgb({screen[i], screen[i + 1], screen[i + 2]}),
                  Rgb({texture[i], texture[i + 1], texture[i + 2]}))
            << i / 4;
    // Rows 76 to 178 hold the picture; only a large star may reach a pixel into the bands.
    EXPECT_LE(LitPixels(0, 0, 256, 76) + LitPixels(0, 179, 256, 256), 4);
    EXPECT_GT(LitPixels(0, 76, 256, 179), 100);

    OnKeyboard('q', 0, 0);
    FrameAt(3016); // the capture, of the scene as it stands; the tiles are laid out and take their first step
    glBindTexture(GL_TEXTURE_2D, ExitTexture.Name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texture.data());
    int lit = 0;
    for (size_t i = 76 * 256 * 4; i < 179 * 256 * 4; i += 4)
        lit += texture[i] + texture[i + 1] + texture[i + 2] > 60;
    EXPECT_GT(lit, 100);
    BeginWideOrtho();
    const auto sent = CaptureFeedback(DrawShatter); // and their second
    ASSERT_EQ(sent.Count(FeedbackPrimitive::Polygon), 72);
    // Every corner lies, within the two short steps (and turns) its tile has taken, where its point of the
    // picture was: a corner with the wrong texture coordinate, or a sheared or mirrored tile, is a sixth off.
    for (const FeedbackPrimitive& triangle : sent.Primitives) {
        for (const FeedbackVertex& corner : triangle.Vertices) {
            EXPECT_NEAR(corner.X - corner.S * 640.0f, 0.0f, 12.0f);
            EXPECT_NEAR(corner.Y - corner.T * 480.0f, 0.0f, 12.0f);
            EXPECT_TRUE(corner.R == 1.0f && corner.G == 1.0f && corner.B == 1.0f); // the picture untinted
        }
        const FeedbackBox box = sent.Bounds(size_t(&triangle - sent.Primitives.data()), 1);
        EXPECT_NEAR(box.MaxS - box.MinS, 1.0f / 6.0f, 1e-4f);
        EXPECT_NEAR(box.MaxT - box.MinT, 1.0f / 6.0f, 1e-4f);
    }
    const float startX = ShatterTiles[2][3].X, startY = ShatterTiles[2][3].Y;
    FramesUntil(3016 + 1904, FrameMs);
    const float t = 1904 * 0.001f;
    EXPECT_NEAR(startY - ShatterTiles[2][3].Y, 500.0f * t * t, 0.03f * 500.0f * t * t);
    EXPECT_NEAR(ShatterTiles[2][3].X - startX, ShatterTiles[2][3].VX * t, 1.0f); // at its own steady speed
    BeginWideOrtho();
    EXPECT_LT(CaptureFeedback(DrawShatter).Bounds().MaxY, 0.0f);
    FramesUntil(3016 + 2016, FrameMs);
    EXPECT_EQ(Fake.ExitStatus, 0);
}

} // namespace
