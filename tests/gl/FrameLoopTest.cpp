// Whole frames of the program on the scripted host clock: the start-up, the fade in, the sliding title,
// full clears, trails, the letterbox bands under the menu, the end of the program, input that lives for
// one frame, pausing and the wind. Every frame hands back the resting GL state without a GL error.

#include "support/GlTestFixture.h"

#include <algorithm>
#include <filesystem>

namespace {

using namespace gltest;

const Rgb Black = {0, 0, 0}, White = {255, 255, 255}, Red = {255, 0, 0};

class FrameLoopTest : public ProgramTest {
protected:
    // The screen passes alone (no stars, logo, globes or flare), and in trail mode without fading, so a
    // frame leaves painted pixels alone unless a fade or a clear touches them.
    void ScreenPassesOnly() {
        Settings.Universe = Settings.SpotLights = Settings.ScreenClear = 0;
        Settings.FadeEffect = 0.0f;
        Logo.Finished = 1;
        GlobeCount = 0;
    }
    // The centre of the window and a pixel near its bottom and its top edge.
    static testing::AssertionResult ScreenNear(const Rgb& expected) {
        for (int y : {5, WindowHeight / 2, WindowHeight - 5})
            if (testing::AssertionResult result = PixelNear(WindowWidth / 2, y, expected); !result)
                return result;
        return testing::AssertionSuccess();
    }
};

TEST_F(FrameLoopTest, StartupReadsThePreferencesOnceAndAResetNever) {
    const struct {
        int File; // 0 none, 1 saved, 2 a directory
        const char* Line;
        int Fov, Letterbox, CameraMode;
    } rows[] = {{0, "No Prefs found.\n", 110, 0, 1},
                {1, "Loaded Prefs.\n", 77, 3, 2},
                {2, "No Prefs found.\n", 110, 0, 1}};
    for (const auto& r : rows) {
        std::filesystem::remove_all("Tovi.pref");
        SettingsStore saved;
        saved.Fov = 77, saved.Letterbox = 3, saved.CameraMode = 2;
        EXPECT_EQ(r.File == 1 ? saved.Save("Tovi") : 0, 0);
        if (r.File == 2)
            std::filesystem::create_directory("Tovi.pref");
        ResetProgram();
        Fake = FakePlatform();
        EXPECT_EQ(support::ConsoleOutput(InitGL),
                  std::string("Init Once...\nParticle Init...\nInit Vars...\n") + r.Line +
                      "Dialog Init...\n");
        EXPECT_EQ(std::make_tuple(Settings.Fov, MainCamera.Fov, Settings.Letterbox, Settings.CameraMode,
                                  Fake.Cursor),
                  std::make_tuple(r.Fov, float(r.Fov), r.Letterbox, r.CameraMode, int(CursorNone)));
        EXPECT_EQ(Fake.Waves, std::vector<std::string>{"WIND2.wav"});
        EXPECT_EQ(support::ConsoleOutput(InitVars), "Init Vars...\n");
        EXPECT_EQ(std::make_tuple(Settings.Fov, Settings.Letterbox, Settings.CameraMode),
                  std::make_tuple(110, 0, 0));
    }
}

// The first two seconds fade in from black over the whole window; the title slides from x = 0 at 2 s to
// the right edge at 9.5 s, at 0.9 of the height, and is gone after 10 s.
TEST_F(FrameLoopTest, FadeInAndTheSlidingTitle) {
    ScreenPassesOnly();
    Settings.Letterbox = 2;
    const struct {
        int Ms, Grey;
        float TitleX;
    } rows[] = {{500, 64, -128.0f}, {1000, 128, -85.333f}, {1984, 253, -1.365f},
                {2000, 255, 0.0f},  {5750, 255, 320.0f},   {9500, 255, 640.0f}};
    for (const auto& r : rows) {
        FramesUntil(r.Ms - FrameMs);
        Paint(White);
        FrameAt(r.Ms);
        EXPECT_TRUE(ScreenNear({r.Grey, r.Grey, r.Grey})) << r.Ms;
        EXPECT_NEAR(TitleText.X, r.TitleX, 1e-3) << r.Ms;
        EXPECT_EQ(std::make_tuple(std::string(TitleText.Text), TitleText.Y, TitleText.Radius),
                  std::make_tuple("Tovi", 432.0f, 30.0f));
    }
    FramesUntil(9900);
    TitleText.Text[0] = '\0';
    FrameAt(10000);
    EXPECT_STREQ(TitleText.Text, "");
}

// A request clears the colour of two frames, one for each buffer; a key between them cancels the second.
TEST_F(FrameLoopTest, ClearRequestClearsExactlyTwoFrames) {
    ScreenPassesOnly();
    FramesUntil(2500);
    for (const auto& [request, key, expected] :
         {std::tuple{0, 0, Red}, {1, 0, Black}, {0, 0, Black}, {0, 0, Red}, {1, 0, Black}, {0, 'x', Red}}) {
        View.ClearFrames = request ? 1 : View.ClearFrames;
        if (key)
            OnKeyboard(static_cast<unsigned char>(key), 0, 0);
        Paint(Red);
        FrameAt(Fake.NowMs + FrameMs);
        EXPECT_TRUE(ScreenNear(expected));
    }
}

// Trails fade the picture area by FadeEffect x frame time x 40 and leave the letterbox bands alone, which
// only the open menu paints black again.
TEST_F(FrameLoopTest, TrailsFadeThePictureAndTheMenuKeepsTheBandsBlack) {
    ScreenPassesOnly();
    Settings.Letterbox = 3;
    FramesUntil(2500);
    const Rgb painted = {250, 200, 100};
    const struct {
        float FadeEffect;
        int StepMs, ScreenClear, Menu;
        Rgb Picture, Bands;
    } rows[] = {
        {0.3f, 20, 0, 0, {190, 152, 76}, painted},   // 50 frames a second: alpha 0.24
        {0.2f, 3000, 0, 0, {150, 120, 60}, painted}, // a stall counts as 0.05 s: alpha 0.4
        {1.0f, 16, 0, 0, painted, painted},          // no fading at full strength
        {0.3f, 16, 1, 0, Black, painted},            // a cleared picture keeps its bands
        {0.3f, 16, 1, 1, Black, Black},
    };
    for (const auto& r : rows) {
        Settings.FadeEffect = r.FadeEffect, Settings.ScreenClear = r.ScreenClear;
        MenuShown = r.Menu, Dialogs.TargetVisibility = float(r.Menu);
        Paint(painted);
        FrameAt(Fake.NowMs + r.StepMs);
        View.SetLetterbox(Settings.Letterbox); // the frame ends on the whole-window overlay
        EXPECT_TRUE(PixelNear(320, 240, r.Picture)) << r.FadeEffect << ", menu " << r.Menu;
        EXPECT_TRUE(PixelNear(630, 5, r.Bands) && PixelNear(630, 474, r.Bands))
            << r.FadeEffect << ", menu " << r.Menu;
    }
}

// One quit key: the next frame starts the shattering on a cleared screen, which fades out for two seconds,
// then the program says goodbye and ends. A second key ends it on the next frame.
TEST_F(FrameLoopTest, QuitKeyFadesOutForTwoSecondsAndASecondOneEndsAtOnce) {
    for (int presses : {1, 2}) {
        StartProgram();
        ScreenPassesOnly();
        FramesUntil(2500);
        const std::string console = support::ConsoleOutput([&] {
            OnKeyboard(27, 0, 0);
            Paint(Red);
            FrameAt(2516);
            EXPECT_TRUE(ScreenNear(Black));
            if (presses == 2)
                OnKeyboard('q', 0, 0);
            for (int ms = 2532; ms <= 5000 && Fake.ExitStatus == -1; ms += FrameMs) {
                if (ms == 2500 + 1008)
                    Paint(White);
                FrameAt(ms);
                if (ms == 2500 + 1008) {
                    EXPECT_TRUE(ScreenNear({126, 126, 126}));
                }
            }
        });
        EXPECT_EQ(console, "\nShutting down...\nFin\n\n");
        EXPECT_EQ(std::make_tuple(Fake.ExitStatus, Fake.NowMs,
                                  std::count(Fake.Waves.begin(), Fake.Waves.end(), "hit.wav")),
                  std::make_tuple(0, presses == 1 ? 2500 + 2016 : 2532, 1l));
    }
}

// Key codes and button presses act on exactly one frame: Tab and the Down arrow move the menu's focus by
// one row each, however many frames follow.
TEST_F(FrameLoopTest, KeysAndButtonsLiveForOneFrame) {
    OnKeyboard('`', 0, 0);
    FramesUntil(3000);
    const int focus = Dialogs.Focus;
    OnKeyboard('\t', 0, 0);
    FramesUntil(3300);
    OnSpecial(KeyDown, 0, 0);
    FramesUntil(3600);
    EXPECT_EQ(Dialogs.Focus, focus + 2);
    OnKeyboard('`', 0, 0);
    OnMouse(ButtonMiddle, ButtonDown, 0, 0);
    FrameAt(3700);
    EXPECT_EQ(Mouse.MiddleButton, 2);
    OnMouse(ButtonMiddle, ButtonUp, 0, 0);
    FrameAt(3800);
    EXPECT_EQ(Mouse.MiddleButton, 0);
}

// Pausing stops the camera's wander only; the wind returns 20 to 40 s after the last sound ended (the
// opening wind, 2 s long).
TEST_F(FrameLoopTest, PauseStopsOnlyTheCameraAndTheWindReturns) {
    Settings.Universe = 0;
    auto phases = [] {
        return std::make_tuple(CameraPositionBank.Phase[0], CameraAngleBank.Phase[0], ArcWaveBank.Phase[1],
                               TextWaveBank.Phase[0]);
    };
    Paused = 1;
    FramesUntil(500);
    const auto paused = phases();
    FramesUntil(1000);
    EXPECT_EQ(std::get<0>(phases()), std::get<0>(paused));
    EXPECT_EQ(std::get<1>(phases()), std::get<1>(paused));
    EXPECT_NE(std::get<2>(phases()), std::get<2>(paused));
    EXPECT_NE(std::get<3>(phases()), std::get<3>(paused));
    Paused = 0;
    FramesUntil(1500);
    EXPECT_NE(std::get<0>(phases()), std::get<0>(paused));
    EXPECT_NE(std::get<1>(phases()), std::get<1>(paused));

    FramesUntil(21900);
    EXPECT_EQ(Fake.Waves.size(), 1u);
    FramesUntil(42100);
    EXPECT_EQ(Fake.Waves, (std::vector<std::string>{"WIND2.wav", "WIND2.wav"}));
}

// A hidden or wholly covered window asks for no frames; shown again after a long time, the scene goes on
// from where it stopped.
TEST_F(FrameLoopTest, HiddenWindowAsksForNoFrames) {
    FramesUntil(2500);
    for (int state : {WindowHidden, WindowFullyRetained, WindowFullyCovered, WindowPartiallyRetained}) {
        ProgramCallbacks().WindowStatus(state);
        EXPECT_EQ(Fake.IdleRunning, state == WindowFullyRetained || state == WindowPartiallyRetained);
    }
    FrameAt(Fake.NowMs + 60000);
    EXPECT_FLOAT_EQ(Clock.Now, 2.55f);
}

} // namespace
