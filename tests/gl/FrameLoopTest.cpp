// Whole frames of the program on the scripted host clock: the fade in, the sliding title,
// full clears, trails, the letterbox bands under the menu, the end of the program, pausing and the wind.
// (That a key or a click acts on one frame only is seen where it matters, walking the menu: DialogTest.)
// Every frame hands back the resting GL state without a GL error.

#include "scene/Universe.h"
#include "support/GlTestFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using namespace gltest;

const Rgb Black = {0, 0, 0};
const Rgb White = {255, 255, 255};
const Rgb Red = {255, 0, 0};

// A pixel of the window, from the lower-left corner, within 2 of the expected colour.
testing::AssertionResult PixelNear(int x, int y, const Rgb& expected) {
    unsigned char rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    for (int channel = 0; channel < 3; ++channel)
        if (std::abs(rgba[channel] - expected[channel]) > 2)
            return testing::AssertionFailure() << "(" << x << ", " << y << ") is " << int(rgba[0]) << ", "
                                               << int(rgba[1]) << ", " << int(rgba[2]);
    return testing::AssertionSuccess();
}

// Fills the whole window.
void Paint(const Rgb& colour) {
    glClearColor(colour[0] / 255.0f, colour[1] / 255.0f, colour[2] / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

class FrameLoopTest : public ProgramTest {
protected:
    // The screen passes alone (no stars, logo, globes or flare), in trail mode without fading, so a frame
    // leaves painted pixels alone unless a fade or a clear touches them.
    void SetUp() override {
        ProgramTest::SetUp();
        Settings.Universe = 0;
        Settings.SpotLights = 0;
        Settings.ScreenClear = 0;
        Settings.FadeEffect = 0.0f;
        Logo.Finished = 1;
        GlobeCount = 0;
    }
    // A frame after the window and the depth buffer were painted: what it shows on the rows at either side
    // of each edge of the picture area and of the window, and that it cleared the depth buffer.
    void PaintedFrameShows(const Rgb& painted, int stepMs, const Rgb& inPicture, const Rgb& inBands) {
        Paint(painted);
        glClearDepth(0.5);
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
        FrameAt(Fake.NowMs + stepMs);
        View.SetLetterbox(Settings.Letterbox); // the frame ends on the whole-window overlay
        for (int y : {0, View.Top - 1, View.Top, 240, View.Bottom - 1, View.Bottom, WindowHeight - 1})
            for (int x : {0, WindowWidth - 1}) {
                const int row = std::clamp(y, 0, WindowHeight - 1);
                EXPECT_TRUE(PixelNear(x, row, row >= View.Top && row < View.Bottom ? inPicture : inBands));
            }
        GLfloat depth = 0.0f;
        glReadPixels(320, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_EQ(depth, 1.0f);
    }
};

// The first two seconds fade in from black over the whole window; the title slides from x = 0 at 2 s to
// the right edge at 9.5 s, at 0.9 of the height, and is gone after 10 s.
TEST_F(FrameLoopTest, FadeInAndTheSlidingTitle) {
    for (const auto& [ms, grey, titleX] :
         {std::tuple{1000, 128, -85.333f}, {2000, 255, 0.0f}, {5750, 255, 320.0f}, {9500, 255, 640.0f}}) {
        FramesUntil(ms - FrameMs);
        Paint(White);
        FrameAt(ms);
        for (int x : {0, 320, 639}) // below the title, which may sway over the top rows
            EXPECT_TRUE(PixelNear(x, 0, {grey, grey, grey}) && PixelNear(x, 240, {grey, grey, grey}));
        EXPECT_NEAR(TitleText.X, titleX, 1e-3) << ms;
        EXPECT_EQ(std::make_tuple(std::string(TitleText.Text), TitleText.Y, TitleText.Radius, TitleText.Red,
                                  TitleText.Green, TitleText.Blue, TitleText.WaveOn),
                  std::make_tuple("Tovi", 432.0f, 30.0f, 0.0f, 1.0f, 0.0f, 1)); // green, waving
    }
    FramesUntil(9900);
    TitleText.Text[0] = '\0';
    FrameAt(10000);
    EXPECT_STREQ(TitleText.Text, "");
}

// A request clears the colour of two frames, one for each buffer; a key between them cancels the second.
// After one the screen clears itself every frame again.
// Trails fade the picture by FadeEffect x frame time x 40; the letterbox bands are black again in every
// frame, whatever the title, the status line or the menu left in them.
TEST_F(FrameLoopTest, FullClearsTrailsAndBandsBlackInEveryFrame) {
    FramesUntil(10100); // past the sliding title
    for (const auto& [request, key, expected] :
         {std::tuple{1, 0, Black}, {0, 0, Black}, {0, 0, Red}, {1, 0, Black}, {0, 'x', Red}}) {
        if (request)
            View.ClearFrames = 1;
        if (key)
            OnKeyboard(static_cast<unsigned char>(key), 0, 0);
        PaintedFrameShows(Red, FrameMs, expected, expected);
    }
    Settings.ScreenClear = 1;
    View.ClearFrames = 1;
    FramesUntil(Fake.NowMs + 2 * FrameMs, FrameMs);
    PaintedFrameShows(Red, FrameMs, Black, Black);
    Settings.Letterbox = 1;
    const Rgb painted = {250, 200, 100};
    const struct {
        float FadeEffect;
        int StepMs, ScreenClear, PolygonMode;
        Rgb Picture;
    } rows[] = {
        {0.3f, 20, 0, 1, {190, 152, 76}},   // 50 frames a second: alpha 0.24, in line mode too
        {0.2f, 3000, 0, 0, {150, 120, 60}}, // a stall counts as 0.05 s: alpha 0.4
        {1.0f, 16, 0, 0, painted},          // no fading at full strength
        {0.3f, 16, 1, 0, Black},
    };
    for (const auto& r : rows) {
        Settings.FadeEffect = r.FadeEffect;
        Settings.ScreenClear = r.ScreenClear;
        Settings.PolygonMode = r.PolygonMode;
        PaintedFrameShows(painted, r.StepMs, r.Picture, Black);
    }
}

// One quit key: the next frame takes the picture (256 x 256, here the empty scene) for the shattering and
// clears the screen, which fades out for two seconds, then the program says goodbye, releases the star
// field and ends. A second key ends it on the next frame.
// In a window no one sees, covered before the key or hidden after it, the idle handler stays, keeps the
// clock and ends the program on time without drawing a frame.
TEST_F(FrameLoopTest, QuitKeyFadesOutForTwoSecondsAndASecondOneEndsAtOnce) {
    enum Run { OneKey, TwoKeys, HiddenAfterKey, CoveredBeforeKey };
    for (Run run : {OneKey, TwoKeys, HiddenAfterKey, CoveredBeforeKey}) {
        FramesUntil(Fake.NowMs + 10100); // past the sliding title
        const int pressed = Fake.NowMs;
        const GLuint stars = GLuint(Universe.List);
        ASSERT_TRUE(glIsList(stars));
        const std::string console = ConsoleOutput([&] {
            if (run == CoveredBeforeKey)
                ProgramCallbacks().WindowStatus(WindowFullyCovered);
            OnKeyboard(27, 0, 0);
            if (run == HiddenAfterKey)
                ProgramCallbacks().WindowStatus(WindowHidden);
            while (run >= HiddenAfterKey && Fake.ExitStatus == -1 && Fake.NowMs < pressed + 3000) {
                EXPECT_TRUE(Fake.IdleRunning);
                Fake.NowMs += 100;
                ProgramCallbacks().Idle();
            }
            if (run >= HiddenAfterKey)
                return;
            PaintedFrameShows(Red, FrameMs, Black, Black); // the capture, and both buffers cleared
            PaintedFrameShows(Red, FrameMs, Black, Black);
            if (run == TwoKeys)
                OnKeyboard('q', 0, 0);
            while (Fake.ExitStatus == -1 && Fake.NowMs < pressed + 3000)
                FrameAt(Fake.NowMs + FrameMs);
        });
        const int endMs = run == OneKey ? 2016 : run == TwoKeys ? 3 * FrameMs : 2100;
        EXPECT_EQ(console, "\nShutting down...\nFin\n\n");
        EXPECT_EQ(std::make_tuple(Fake.ExitStatus, Fake.NowMs - pressed, Fake.Waves.back(), Fake.Redisplays),
                  std::make_tuple(0, endMs, "hit.wav", 0))
            << run;
        EXPECT_FALSE(glIsList(stars)) << "the star field's display list outlives the program";
        SetUp();
    }
    // A quit key before the first frame, the clock still at 0, ends the program on time too.
    const std::string console = ConsoleOutput([this] {
        OnKeyboard('q', 0, 0);
        while (Fake.ExitStatus == -1 && Fake.NowMs < 3000)
            FrameAt(Fake.NowMs + FrameMs);
    });
    EXPECT_EQ(std::make_tuple(console, Fake.ExitStatus, Fake.NowMs),
              std::make_tuple("\nShutting down...\nFin\n\n", 0, 2016));
}

// Pausing stops the camera's wander only; the text's waves run on. A sound queued behind the opening wind (2
// s) plays when it has ended, and the wind returns 20 to 40 s after the last sound ended. The frame-rate
// clock counts whole seconds at the top right, drawn after the status line; both and the menu stay at the top
// of a resized window. A hidden or wholly covered window asks for no frames, and a frame after a long time
// away goes on from where it stopped.
TEST_F(FrameLoopTest, PauseSoundsTheClockAndAHiddenWindow) {
    Paused = 1;
    Settings.FpsClock = 1;
    Settings.RotateSpeed = 0.0f; // the camera's turning stands still, its drift goes on at MoveSpeed
    Sound.Play("queued.wav", 0.5f, 0, 1);
    FramesUntil(500);
    const float camera = CameraPositionBank.Phase[0], turn = CameraAngleBank.Phase[0];
    const float arcs = ArcWaveBank.Phase[1], text = TextWaveBank.Phase[1];
    FramesUntil(1000);
    EXPECT_EQ(std::make_tuple(CameraPositionBank.Phase[0] == camera, ArcWaveBank.Phase[1] == arcs,
                              TextWaveBank.Phase[1] == text),
              std::make_tuple(true, false, false));
    Paused = 0;
    FramesUntil(2000); // the wind still blows
    EXPECT_EQ(Fake.Waves.size(), 1u);
    FramesUntil(22500); // the queued sound played from 2.1 s to 2.6 s
    EXPECT_EQ(
        std::make_tuple(CameraPositionBank.Phase[0] == camera, CameraAngleBank.Phase[0] == turn, Fake.Waves),
        std::make_tuple(false, true, std::vector<std::string>{"WIND2.wav", "queued.wav"}));
    FramesUntil(29000);
    EXPECT_EQ(Fake.Waves, (std::vector<std::string>{"WIND2.wav", "queued.wav", "WIND2.wav"}));
    const float menuBottom = Dialogs.Widgets[0]->Bottom; // laid out from the window's height
    Dialogs.Focus = 2;
    ProgramCallbacks().Reshape(800, 600);
    StatusLine.Show("Continue");
    const support::Feedback frame = support::CaptureFeedback([this] { FrameAt(29100); });
    EXPECT_EQ(frame.Glyphs(), "ContinueFPS: 10");
    // The line's 8 glyphs of size 10 about its 580, before the clock's 7, each glyph two polygons.
    EXPECT_NEAR(frame.Bounds(frame.Primitives.size() - 30, 16).MinY, 570.0f, 1e-3f);
    EXPECT_EQ(std::make_tuple(std::string(FpsDisplay.Text), FpsDisplay.X, FpsDisplay.Y, StatusLine.X,
                              StatusLine.Y, Dialogs.Widgets[0]->Bottom, Dialogs.Focus),
              std::make_tuple("FPS: 10", 700.0f, 580.0f, 20.0f, 580.0f, menuBottom + 0.7f * 120.0f, 2));
    for (int state : {WindowHidden, WindowFullyRetained, WindowFullyCovered, WindowPartiallyRetained}) {
        ProgramCallbacks().WindowStatus(state);
        EXPECT_EQ(Fake.IdleRunning, state == WindowFullyRetained || state == WindowPartiallyRetained);
    }
    FrameAt(Fake.NowMs + 60000);
    EXPECT_FLOAT_EQ(Clock.Now, 29.15f);
}

} // namespace
