// Start-up and whole frames of the program on a real OpenGL context, driven by a scripted host clock:
// console lines, the fades at the start and the end, full clears, trails, quitting and the frame clock.
// Every frame must hand back the resting GL state, and no test may raise a GL error.

#include "app/KeyboardControls.h"
#include "scene/OscillatorBank.h"
#include "support/GlTestFixture.h"

#include "platform/Platform.h"
#include "scene/Logo.h"
#include "scene/Universe.h"
#include "ui/DialogStack.h"
#include "ui/Widget.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace gltest;

const Rgb Black = {0, 0, 0};
const Rgb Red = {255, 0, 0};
const Rgb White = {255, 255, 255};

class FrameLoopTest : public ProgramTest {
protected:
    // The screen passes alone: no stars, no logo, no globes, no flare.
    void SetUp() override {
        ProgramTest::SetUp();
        Settings.Universe = 0;
        Settings.SpotLights = 0;
        Logo.Finished = 1;
        GlobeCount = 0;
    }

    // Trails with no fading: a frame leaves the colour buffer alone unless a fade or a clear request
    // touches it, so painted pixels show what the frame did.
    void UntouchedColourMode() {
        Settings.ScreenClear = 0;
        Settings.FadeEffect = 0.0f;
    }

    // The centre of the picture and a pixel in each letterbox band (when there are bands).
    testing::AssertionResult ScreenNear(const Rgb& expected) const {
        for (int y : {5, WindowHeight / 2, WindowHeight - 5})
            if (testing::AssertionResult result = PixelNear(WindowWidth / 2, y, expected); !result)
                return result;
        return testing::AssertionSuccess();
    }
};

TEST_F(FrameLoopTest, StartupWritesProgressLinesAndReadsPreferencesOnce) {
    enum class PrefFile { None, Saved, Directory };
    const struct {
        PrefFile File;
        const char* LastLine;
        int Fov, Letterbox;
    } cases[] = {
        {PrefFile::None, "No Prefs found.\n", 110, 0},
        {PrefFile::Saved, "Loaded Prefs.\n", 77, 3},
        {PrefFile::Directory, "No Prefs found.\n", 110, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "preferences file " << int(c.File));
        std::filesystem::remove_all("Tovi.pref");
        if (c.File == PrefFile::Saved) {
            SettingsStore saved;
            saved.Fov = 77;
            saved.Letterbox = 3;
            ASSERT_EQ(saved.Save("Tovi"), 0);
        } else if (c.File == PrefFile::Directory) {
            std::filesystem::create_directory("Tovi.pref");
        }
        ResetProgram();
        Fake = FakePlatform();

        testing::internal::CaptureStdout();
        InitGL();
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  std::string("Init Once...\nParticle Init...\nInit Vars...\n") + c.LastLine +
                      "Dialog Init...\n");
        EXPECT_EQ(Settings.Fov, c.Fov);
        EXPECT_EQ(MainCamera.Fov, float(c.Fov));
        EXPECT_EQ(Settings.Letterbox, c.Letterbox);
        EXPECT_EQ(Settings.CameraMode, 1);
        EXPECT_EQ(Fake.Waves, std::vector<std::string>{"WIND2.wav"});
        EXPECT_EQ(Fake.Cursor, CursorNone);
        ExpectRestingState();

        // A reset reads no file, whatever lies in the directory, and hands the camera to the automatic mode.
        testing::internal::CaptureStdout();
        InitVars();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "Init Vars...\n");
        EXPECT_EQ(Settings.Fov, 110);
        EXPECT_EQ(Settings.Letterbox, 0);
        EXPECT_EQ(Settings.CameraMode, 0);
    }
}

TEST_F(FrameLoopTest, FadeInDarkensWholeWindowForTwoSeconds) {
    UntouchedColourMode();
    Settings.Letterbox = 2; // the fade covers the bands too
    // Painted white just before the frame at each reading; the frame fades it by 1 - Now / 2.
    const struct { int Ms, Expected; } cases[] = {{500, 64}, {1000, 128}, {1984, 253}, {2500, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "at " << c.Ms << " ms");
        FramesUntil(c.Ms - FrameMs);
        Paint(White);
        FrameAt(c.Ms);
        EXPECT_TRUE(ScreenNear({c.Expected, c.Expected, c.Expected}));
    }
}

TEST_F(FrameLoopTest, ClearRequestClearsColourOnExactlyTwoFrames) {
    UntouchedColourMode();
    FramesUntil(2500);
    auto paintedFrameShows = [this](const Rgb& expected, const char* frame) {
        Paint(Red);
        FrameAt(Fake.NowMs + FrameMs);
        EXPECT_TRUE(ScreenNear(expected)) << frame;
    };
    paintedFrameShows(Red, "no request");
    View.ClearFrames = 1;
    paintedFrameShows(Black, "first cleared frame");
    paintedFrameShows(Black, "second cleared frame");
    paintedFrameShows(Red, "the request is over");

    // A key pressed between the two cleared frames cancels the second one; a key other than the quit keys
    // leaves the program running.
    View.ClearFrames = 1;
    paintedFrameShows(Black, "first cleared frame again");
    OnKeyboard('x', 0, 0);
    paintedFrameShows(Red, "cancelled by a key");
    EXPECT_EQ(ExitState, 0);
}

// Trails fade the picture area only: the letterbox bands keep what they hold.
TEST_F(FrameLoopTest, TrailsFadeByFadeEffectTimesFrameTime) {
    Settings.ScreenClear = 0;
    Settings.Letterbox = 2;
    FramesUntil(2500);
    const Rgb painted = {250, 200, 100};
    const struct {
        float FadeEffect;
        int StepMs;
        double Remaining; // the share of the last picture left after one frame
    } cases[] = {
        {0.5f, 16, 1.0 - 0.5 * 0.016 * 40},
        {0.25f, 100, 0.0},
        {0.2f, 3000, 1.0 - 0.2 * 0.05 * 40}, // a stall of 3 s counts as one frame of 0.05 s
        {0.0f, 16, 1.0},
        {1.0f, 16, 1.0}, // no fading at either end of the range
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "fade effect " << c.FadeEffect << ", step " << c.StepMs << " ms");
        Settings.FadeEffect = c.FadeEffect;
        Paint(painted);
        FrameAt(Fake.NowMs + c.StepMs);
        Rgb expected;
        for (int channel = 0; channel < 3; ++channel)
            expected[channel] = int(std::lround(painted[channel] * c.Remaining));
        View.SetLetterbox(Settings.Letterbox); // the frame ends on the whole-window overlay
        ExpectRows(expected, painted);
    }
}

TEST_F(FrameLoopTest, QuitKeyFadesOutForTwoSecondsThenEnds) {
    UntouchedColourMode();
    const GLuint stars = GLuint(Universe.List);
    ASSERT_TRUE(glIsList(stars));
    const int pressedMs = 2500;
    FramesUntil(pressedMs);

    testing::internal::CaptureStdout();
    OnKeyboard(27, 0, 0);
    EXPECT_EQ(ExitState, 1);
    EXPECT_EQ(Fake.Waves.back(), "hit.wav");

    // The next frame starts the shattering and clears the whole window.
    Paint(Red);
    FrameAt(pressedMs + FrameMs);
    EXPECT_EQ(ExitState, 2);
    EXPECT_TRUE(ScreenNear(Black));

    int endedMs = -1;
    for (int ms = pressedMs + 2 * FrameMs; ms <= pressedMs + 3000 && endedMs < 0; ms += FrameMs) {
        // Half-way through, the fade-out has taken half of the picture.
        const bool halfWay = ms == pressedMs + 1008;
        if (halfWay)
            Paint(White);
        FrameAt(ms);
        if (halfWay) {
            EXPECT_TRUE(ScreenNear({126, 126, 126}));
        }
        if (Fake.ExitStatus != -1)
            endedMs = ms;
    }
    EXPECT_GT(endedMs - pressedMs, 2000) << "ended before the fade-out was over";
    EXPECT_LE(endedMs - pressedMs, 2000 + FrameMs) << "kept running after the fade-out";
    EXPECT_EQ(Fake.ExitStatus, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nShutting down...\nFin\n\n");
    EXPECT_FALSE(glIsList(stars)) << "the star field's display list is still there";
}

TEST_F(FrameLoopTest, SecondQuitKeyEndsOnNextFrame) {
    // Once the program runs, and during the fade-in of the first two seconds.
    for (int pressedMs : {2500, 1000}) {
        SCOPED_TRACE(testing::Message() << "pressed at " << pressedMs << " ms");
        StartProgram();
        FramesUntil(pressedMs);
        testing::internal::CaptureStdout();
        OnKeyboard('Q', 0, 0);
        FrameAt(pressedMs + FrameMs);
        EXPECT_EQ(Fake.ExitStatus, -1);
        OnKeyboard(27, 0, 0);
        FrameAt(pressedMs + 2 * FrameMs);
        EXPECT_EQ(Fake.ExitStatus, 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nShutting down...\nFin\n\n");
        EXPECT_EQ(std::count(Fake.Waves.begin(), Fake.Waves.end(), "hit.wav"), 1);
    }
}

// A hidden or wholly covered window asks for no frames. Shown again after a long time away, the scene goes
// on from where it stopped instead of jumping. An exit still ends two seconds after the quit key, without
// a frame, whether the window was hidden after the key or covered before it.
TEST_F(FrameLoopTest, HiddenWindowSleepsYetAnExitEndsOnTime) {
    const WindowCallbacks callbacks = ProgramCallbacks();
    FramesUntil(2500);
    const struct {
        int State;
        bool Running;
    } cases[] = {
        {WindowHidden, false},
        {WindowFullyRetained, true},
        {WindowFullyCovered, false},
        {WindowPartiallyRetained, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "window state " << c.State);
        callbacks.WindowStatus(c.State);
        EXPECT_EQ(Fake.IdleRunning, c.Running);
        if (c.Running) {
            const float before = Clock.Now;
            FrameAt(Fake.NowMs + 10000);
            EXPECT_NEAR(Clock.Now - before, 0.05f, 1e-4);
        }
    }
    for (int hiddenAfterKey : {1, 0}) {
        StartProgram();
        FramesUntil(2500);
        testing::internal::CaptureStdout();
        if (hiddenAfterKey)
            OnKeyboard(27, 0, 0);
        callbacks.WindowStatus(hiddenAfterKey ? WindowHidden : WindowFullyCovered);
        if (!hiddenAfterKey)
            OnKeyboard(27, 0, 0);
        EXPECT_TRUE(Fake.IdleRunning);
        while (Fake.ExitStatus == -1 && Fake.NowMs < 6000) {
            Fake.NowMs += 100;
            callbacks.Idle();
        }
        EXPECT_EQ(std::make_tuple(Fake.NowMs, Fake.ExitStatus, Fake.Redisplays), std::make_tuple(4600, 0, 0));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nShutting down...\nFin\n\n");
    }
    callbacks.WindowStatus(WindowFullyRetained);
}

TEST_F(FrameLoopTest, PauseStopsOnlyTheCameraBanks) {
    FramesUntil(500);
    auto phases = [] {
        std::vector<std::vector<float>> banks;
        for (const OscillatorBank* bank :
             {MainCamera.PositionWander, MainCamera.AngleWander, &ArcWaveBank, &TextWaveBank})
            banks.emplace_back(bank->Phase, bank->Phase + bank->Count);
        return banks;
    };
    for (int paused : {1, 0}) {
        Paused = paused;
        const auto before = phases();
        FramesUntil(Fake.NowMs + 10 * FrameMs, FrameMs);
        const auto after = phases();
        // The first two are the camera's banks.
        for (int bank = 0; bank < 4; ++bank)
            EXPECT_EQ(after[bank] == before[bank], paused && bank < 2)
                << "paused " << paused << ", bank " << bank;
    }
}

} // namespace

namespace {

TEST_F(FrameLoopTest, MenuFollowsTheWindowsHeight) {
    // The main menu is first built for the constructed 480-pixel window; a taller window moves its rows
    // up at once, keeping the focus.
    ASSERT_EQ(Dialogs.CurrentMenu, MainMenu);
    const float bottom = Dialogs.Widgets[0]->Bottom;
    Dialogs.Focus = 2;
    ProgramCallbacks().Reshape(1920, 1080);
    EXPECT_FLOAT_EQ(Dialogs.Widgets[0]->Bottom, bottom + 0.7f * (1080 - 480));
    EXPECT_EQ(Dialogs.Focus, 2);
    View.Reshape(WindowWidth, WindowHeight);
}

} // namespace
