// The opening logo until the first click, and the closing: the last picture captured and shattered into
// six by six falling tiles.

#include "support/GlTestFixture.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

using namespace gltest;
using namespace support;
using OpeningTest = ProgramTest;

TEST_F(OpeningTest, ClickEndsTheOpeningForTheRestOfTheRun) {
    Paused = 1; // the light circles on
    Settings.ObjectSize = 1.25f;
    FramesUntil(1000, FrameMs);
    const float lightX = MainLight.X, logoTime = LogoTime, pitch = Globe1.Pitch;
    FramesUntil(3000, FrameMs);
    EXPECT_STREQ(StatusLine.Text, "<Click> to continue,,,");
    EXPECT_NE(MainLight.X, lightX);
    EXPECT_EQ(std::make_tuple(LogoTime != logoTime, Logo.Size), std::make_tuple(true, 1.25f));
    float longest = 0.0f; // the glow's rays turn when more than 0.07 s have passed
    for (int frame = 0; frame < 5; ++frame, longest = std::max(longest, TextureAnimTimer))
        FrameAt(Fake.NowMs + FrameMs);
    EXPECT_NEAR(longest, 0.064f, 1e-4);

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
    int lit[256] = {};
    for (size_t i = 0; i < screen.size(); i += 4) {
        ASSERT_EQ(Rgb({screen[i], screen[i + 1], screen[i + 2]}),
                  Rgb({texture[i], texture[i + 1], texture[i + 2]}))
            << i / 4;
        lit[i / 1024] += texture[i] + texture[i + 1] + texture[i + 2] > 60;
    }
    // Rows 76 to 178 hold the picture; only a large star may reach a pixel into the bands.
    EXPECT_LE(std::accumulate(lit, lit + 76, 0) + std::accumulate(lit + 179, lit + 256, 0), 4);
    EXPECT_GT(std::accumulate(lit + 76, lit + 179, 0), 100);

    OnKeyboard('q', 0, 0);
    FrameAt(3016); // the capture; the tiles are laid out and take their first step
    BeginWideOrtho();
    const auto sent = CaptureFeedback(DrawShatter); // and their second
    ASSERT_EQ(sent.Count(FeedbackPrimitive::Polygon), 72);
    for (const FeedbackPrimitive& triangle : sent.Primitives) {
        const FeedbackVertex &a = triangle.Vertices[0], &b = triangle.Vertices[1], &c = triangle.Vertices[2];
        // The map from texture to window coordinates: a turn of a 640 x 480 picture.
        const double s1 = b.S - a.S, t1 = b.T - a.T, s2 = c.S - a.S, t2 = c.T - a.T, det = s1 * t2 - s2 * t1;
        const double xs = ((b.X - a.X) * t2 - (c.X - a.X) * t1) / det,
                     ys = ((b.Y - a.Y) * t2 - (c.Y - a.Y) * t1) / det;
        const double xt = ((c.X - a.X) * s1 - (b.X - a.X) * s2) / det,
                     yt = ((c.Y - a.Y) * s1 - (b.Y - a.Y) * s2) / det;
        EXPECT_NEAR(std::hypot(xs, ys), 640.0, 3.0);
        EXPECT_NEAR(std::hypot(xt, yt), 480.0, 3.0);
        EXPECT_NEAR((xs * xt + ys * yt) / (640.0 * 480.0), 0.0, 0.01);
        EXPECT_GT(xs * yt - ys * xt, 0.0);
        // Where the tile is, within the two short steps it has taken, is where its part of the picture was.
        EXPECT_NEAR((a.X + b.X + c.X) / 3.0 - (a.S + b.S + c.S) / 3.0 * 640.0, 0.0, 8.0);
        EXPECT_NEAR((a.Y + b.Y + c.Y) / 3.0 - (a.T + b.T + c.T) / 3.0 * 480.0, 0.0, 8.0);
        EXPECT_NEAR(std::max({a.S, b.S, c.S}) - std::min({a.S, b.S, c.S}), 1.0 / 6.0, 1e-4);
        EXPECT_NEAR(std::max({a.T, b.T, c.T}) - std::min({a.T, b.T, c.T}), 1.0 / 6.0, 1e-4);
    }
    const float startY = ShatterTiles[2][3].Y;
    FramesUntil(3016 + 1904, FrameMs);
    const float t = 1904 * 0.001f;
    EXPECT_NEAR(startY - ShatterTiles[2][3].Y, 500.0f * t * t, 0.03f * 500.0f * t * t);
    BeginWideOrtho();
    EXPECT_LT(CaptureFeedback(DrawShatter).Bounds().MaxY, 0.0f);
    FramesUntil(3016 + 2016, FrameMs);
    EXPECT_EQ(Fake.ExitStatus, 0);
}

} // namespace
