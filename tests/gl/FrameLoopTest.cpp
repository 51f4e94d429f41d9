// Start-up and whole frames of the program on a real OpenGL context, driven by a scripted host clock:
// console lines, the fades at the start and the end, full clears, trails, quitting and the frame clock.

#include "app/FrameLoop.h"
#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/KeyboardControls.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "app/Startup.h"
#include "render/Camera.h"
#include "scene/OscillatorBank.h"
#include "support/FakePlatform.h"
#include "support/OffscreenContext.h"
#include "ui/FpsText.h"

#include <GL/gl.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int WindowWidth = 640;
constexpr int WindowHeight = 480;
constexpr int FrameMs = 16;

using Rgb = std::array<int, 3>;

// Runs the test inside a fresh empty directory: the program reads and writes its preferences file in the
// working directory.
class ScratchDirectory {
public:
    ScratchDirectory() : Previous(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tovi-frame-XXXXXX").string();
        Path = mkdtemp(pattern.data());
        std::filesystem::current_path(Path);
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(Previous);
        std::filesystem::remove_all(Path);
    }

private:
    std::filesystem::path Previous;
    std::filesystem::path Path;
};

// Every live value of the program back to how a fresh process starts.
void ResetProgram() {
    Settings = SettingsStore();
    Clock = FrameClock();
    Sound = SoundPlayer();
    View = ScreenView();
    MainCamera = Camera();
    FpsDisplay = FpsText();
    Paused = MenuShown = HelpShown = InfoShown = 0;
    ExitState = 0;
    ExitStartTime = 0.0f;
    GlErrorCount = 0;
}

void ExpectRestingState() {
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    GLfloat alphaReference = -1.0f;
    glGetFloatv(GL_ALPHA_TEST_REF, &alphaReference);
    EXPECT_EQ(alphaReference, 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

class FrameLoopTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Context.Ok()) << Context.Error();
        Host = &Fake;
        ResetProgram();
    }

    // What main does before the first frame, with the console lines thrown away.
    void StartProgram() {
        testing::internal::CaptureStdout();
        InitGL();
        testing::internal::GetCapturedStdout();
        View.Reshape(WindowWidth, WindowHeight);
    }

    // One frame at the given reading of the host's millisecond counter.
    void FrameAt(int ms) {
        Fake.NowMs = ms;
        DisplayFrame();
    }

    // Frames every stepMs up to and including the given reading.
    void FramesUntil(int ms, int stepMs = 100) {
        while (Fake.NowMs + stepMs < ms)
            FrameAt(Fake.NowMs + stepMs);
        FrameAt(ms);
    }

    // Trails with no fading: a frame leaves the colour buffer alone unless a fade or a clear request
    // touches it, so painted pixels show what the frame did.
    void UntouchedColourMode() {
        Settings.ScreenClear = 0;
        Settings.FadeEffect = 0.0f;
    }

    void Paint(const Rgb& colour) {
        glClearColor(colour[0] / 255.0f, colour[1] / 255.0f, colour[2] / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    }

    testing::AssertionResult PixelNear(int x, int y, const Rgb& expected, int tolerance = 2) const {
        unsigned char rgba[4] = {};
        Context.ReadPixel(x, y, rgba);
        for (int channel = 0; channel < 3; ++channel)
            if (std::abs(int(rgba[channel]) - expected[channel]) > tolerance)
                return testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is (" << int(rgba[0]) << ", " << int(rgba[1])
                       << ", " << int(rgba[2]) << "), expected (" << expected[0] << ", " << expected[1]
                       << ", " << expected[2] << ")";
        return testing::AssertionSuccess();
    }

    // The centre of the picture and a pixel in the lower letterbox band (when there is one).
    testing::AssertionResult ScreenNear(const Rgb& expected, int tolerance = 2) const {
        for (int y : {5, WindowHeight / 2, WindowHeight - 5}) {
            testing::AssertionResult result = PixelNear(WindowWidth / 2, y, expected, tolerance);
            if (!result)
                return result;
        }
        return testing::AssertionSuccess();
    }

    OffscreenContext Context{WindowWidth, WindowHeight};
    FakePlatform Fake;
    ScratchDirectory Scratch;
};

TEST_F(FrameLoopTest, StartupWritesProgressLinesAndReadsPreferencesOnce) {
    enum class PrefFile { None, Saved, Directory };
    const struct {
        PrefFile File;
        const char* Lines;
        int ExpectedFov;
    } cases[] = {
        {PrefFile::None, "Init Once...\nParticle Init...\nInit Vars...\nNo Prefs found.\n", 110},
        {PrefFile::Saved, "Init Once...\nParticle Init...\nInit Vars...\nLoaded Prefs.\n", 77},
        {PrefFile::Directory, "Init Once...\nParticle Init...\nInit Vars...\nNo Prefs found.\n", 110},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "preferences file " << int(c.File));
        std::filesystem::remove_all("Tovi.pref");
        if (c.File == PrefFile::Saved) {
            SettingsStore saved;
            saved.Fov = 77;
            saved.Letterbox = 3;
            saved.CameraMode = 2;
            ASSERT_EQ(saved.Save("Tovi"), 0);
            ASSERT_EQ(std::filesystem::file_size("Tovi.pref"), uintmax_t(SettingsStore::FileBytes));
        } else if (c.File == PrefFile::Directory) {
            std::filesystem::create_directory("Tovi.pref");
        }
        ResetProgram();
        Fake = FakePlatform();
        VarsInitialised = 0;

        testing::internal::CaptureStdout();
        InitGL();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.Lines);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_EQ(Settings.Fov, c.ExpectedFov);
        EXPECT_EQ(MainCamera.Fov, float(c.ExpectedFov));
        EXPECT_EQ(Settings.Letterbox, c.File == PrefFile::Saved ? 3 : 0);
        EXPECT_EQ(Settings.CameraMode, c.File == PrefFile::Saved ? 2 : 1);
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

TEST_F(FrameLoopTest, FramesLeaveRestingStateAndRaiseNoGlError) {
    StartProgram();
    const struct {
        int Letterbox, ScreenClear, PolygonMode, ClearFrames;
        float FadeEffect;
    } modes[] = {
        {0, 1, 0, 0, 0.3f}, {2, 1, 1, 0, 0.3f}, {6, 0, 2, 0, 0.3f},
        {3, 0, 0, 1, 0.0f}, {0, 1, 0, 1, 1.0f}, {9, 1, 3, 0, 0.5f},
    };
    // Every mode during the fade-in, and again once it is over.
    for (int fromMs : {0, 2500}) {
        FramesUntil(fromMs);
        for (const auto& m : modes) {
            SCOPED_TRACE(testing::Message()
                         << "from " << fromMs << " ms, letterbox " << m.Letterbox << ", screen clear "
                         << m.ScreenClear << ", polygon mode " << m.PolygonMode);
            Settings.Letterbox = m.Letterbox;
            Settings.ScreenClear = m.ScreenClear;
            Settings.PolygonMode = m.PolygonMode;
            Settings.FadeEffect = m.FadeEffect;
            View.ClearFrames = m.ClearFrames;
            FrameAt(Fake.NowMs + FrameMs);
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
            ExpectRestingState();
        }
    }
    EXPECT_EQ(GlErrorCount, 0);
}

TEST_F(FrameLoopTest, MinimisedWindowFramesRaiseNoGlError) {
    StartProgram();
    const struct {
        int Width, Height, Letterbox;
    } sizes[] = {{640, 0, 0}, {640, 0, 6}, {0, 0, 0}, {0, 0, 4}, {0, 480, 2}};
    int ms = 0;
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message()
                     << size.Width << "x" << size.Height << ", letterbox " << size.Letterbox);
        View.Reshape(size.Width, size.Height);
        Settings.Letterbox = size.Letterbox;
        for (int frame = 0; frame < 3; ++frame) {
            ms += FrameMs;
            FrameAt(ms);
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        }
    }
    EXPECT_EQ(GlErrorCount, 0);
}

TEST_F(FrameLoopTest, FadeInDarkensWholeWindowForTwoSeconds) {
    StartProgram();
    UntouchedColourMode();
    Settings.Letterbox = 2; // the fade covers the bands too
    // Painted white just before the frame at each reading; the frame fades it by 1 - Now / 2.
    const struct {
        int Ms;
        int Expected;
    } cases[] = {{FrameMs, 2}, {500, 64}, {1000, 128}, {1500, 191}, {1984, 253}, {2000, 255}, {2500, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "at " << c.Ms << " ms");
        if (c.Ms > FrameMs)
            FramesUntil(c.Ms - FrameMs);
        Paint({255, 255, 255});
        FrameAt(c.Ms);
        EXPECT_TRUE(ScreenNear({c.Expected, c.Expected, c.Expected}));
    }
}

TEST_F(FrameLoopTest, ClearRequestClearsColourOnExactlyTwoFrames) {
    StartProgram();
    UntouchedColourMode();
    FramesUntil(2500);
    const Rgb red = {255, 0, 0};
    const Rgb black = {0, 0, 0};

    Paint(red);
    FrameAt(2516);
    EXPECT_TRUE(ScreenNear(red)) << "no request, nothing cleared";

    View.ClearFrames = 1;
    FrameAt(2532);
    EXPECT_TRUE(ScreenNear(black)) << "first cleared frame";
    Paint(red);
    FrameAt(2548);
    EXPECT_TRUE(ScreenNear(black)) << "second cleared frame";
    EXPECT_EQ(View.ClearFrames, 0);
    Paint(red);
    FrameAt(2564);
    EXPECT_TRUE(ScreenNear(red)) << "the request is over";

    // A key pressed between the two cleared frames cancels the second one.
    View.ClearFrames = 1;
    FrameAt(2580);
    OnKeyboard('x', 0, 0);
    Paint(red);
    FrameAt(2596);
    EXPECT_TRUE(ScreenNear(red)) << "cancelled by a key";
}

TEST_F(FrameLoopTest, TrailsFadeByFadeEffectTimesFrameTime) {
    StartProgram();
    Settings.ScreenClear = 0;
    FramesUntil(2500);
    const Rgb painted = {250, 200, 100};
    const struct {
        float FadeEffect;
        int StepMs;
        double Remaining; // the share of the last picture left after one frame
    } cases[] = {
        {0.5f, 16, 1.0 - 0.5 * 0.016 * 40},
        {0.1f, 50, 1.0 - 0.1 * 0.05 * 40},
        {0.25f, 100, 0.0},
        {0.2f, 3000, 1.0 - 0.2 * 0.05 * 40}, // a stall counts as one frame of 0.05 s
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
        EXPECT_TRUE(ScreenNear(expected));
    }
}

TEST_F(FrameLoopTest, OnlyQuitKeysStartTheFadeOut) {
    StartProgram();
    FramesUntil(2500);
    const struct {
        unsigned char Key;
        bool Quits;
    } keys[] = {{27, true}, {'q', true}, {'Q', true}, {'x', false}, {' ', false}, {13, false}};
    for (const auto& k : keys) {
        SCOPED_TRACE(testing::Message() << "key " << int(k.Key));
        ExitState = 0;
        ExitStartTime = 0.0f;
        Fake.Waves.clear();
        OnKeyboard(k.Key, 0, 0);
        EXPECT_EQ(ExitState, k.Quits ? 1 : 0);
        EXPECT_FLOAT_EQ(ExitStartTime, k.Quits ? Clock.Now : 0.0f);
        EXPECT_EQ(Fake.Waves, k.Quits ? std::vector<std::string>{"hit.wav"} : std::vector<std::string>{});
    }
}

TEST_F(FrameLoopTest, QuitKeyFadesOutForTwoSecondsThenEnds) {
    StartProgram();
    UntouchedColourMode();
    const int pressedMs = 2500;
    FramesUntil(pressedMs);
    const int errorsBefore = GlErrorCount;

    testing::internal::CaptureStdout();
    OnKeyboard(27, 0, 0);
    ASSERT_EQ(ExitState, 1);

    // The next frame starts the shattering and clears the whole window.
    Paint({255, 0, 0});
    FrameAt(pressedMs + FrameMs);
    EXPECT_EQ(ExitState, 2);
    EXPECT_TRUE(ScreenNear({0, 0, 0}));

    int endedMs = -1;
    for (int ms = pressedMs + 2 * FrameMs; ms <= pressedMs + 3000 && endedMs < 0; ms += FrameMs) {
        // Half-way through, the fade-out has taken half of the picture.
        const bool halfWay = ms == pressedMs + 1008;
        if (halfWay)
            Paint({255, 255, 255});
        FrameAt(ms);
        if (halfWay) {
            EXPECT_TRUE(ScreenNear({126, 126, 126}));
        }
        if (Fake.ExitStatus != -1)
            endedMs = ms;
    }
    const std::string console = testing::internal::GetCapturedStdout();

    EXPECT_GT(endedMs - pressedMs, 2000) << "ended before the fade-out was over";
    EXPECT_LE(endedMs - pressedMs, 2000 + FrameMs) << "kept running after the fade-out";
    EXPECT_EQ(Fake.ExitStatus, 0);
    EXPECT_EQ(console, "\nShutting down...\nFin\n\n");
    EXPECT_EQ(GlErrorCount, errorsBefore);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FrameLoopTest, SecondQuitKeyEndsOnNextFrame) {
    StartProgram();
    FramesUntil(2500);
    testing::internal::CaptureStdout();
    OnKeyboard('q', 0, 0);
    FrameAt(2516);
    EXPECT_EQ(Fake.ExitStatus, -1);
    OnKeyboard(27, 0, 0);
    FrameAt(2532);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Fake.ExitStatus, 0);
    EXPECT_EQ(console, "\nShutting down...\nFin\n\n");
    EXPECT_EQ(std::count(Fake.Waves.begin(), Fake.Waves.end(), "hit.wav"), 1);
    EXPECT_EQ(GlErrorCount, 0);
}

TEST_F(FrameLoopTest, StallBetweenFramesCountsAsOneShortFrame) {
    StartProgram();
    FramesUntil(1000);
    ASSERT_FLOAT_EQ(Clock.Now, 1.0f);
    FrameAt(4000);
    EXPECT_FLOAT_EQ(Clock.Now, 1.05f);
    EXPECT_FLOAT_EQ(Clock.FrameTime, 0.05f);
    FrameAt(4016);
    EXPECT_FLOAT_EQ(Clock.Now, 1.066f);
    EXPECT_FLOAT_EQ(Clock.FrameTime, 0.016f);
}

TEST_F(FrameLoopTest, PauseStopsOnlyTheCameraBanks) {
    StartProgram();
    FramesUntil(500);
    struct Phases {
        std::vector<float> CameraPosition, CameraAngle, Arcs, Text;
    };
    auto read = [] {
        auto phases = [](const OscillatorBank& bank) {
            return std::vector<float>(bank.Phase, bank.Phase + bank.Count);
        };
        return Phases{phases(*MainCamera.PositionWander), phases(*MainCamera.AngleWander),
                      phases(ArcWaveBank), phases(TextWaveBank)};
    };
    for (int paused : {1, 0}) {
        SCOPED_TRACE(testing::Message() << "paused " << paused);
        Paused = paused;
        const Phases before = read();
        for (int frame = 0; frame < 10; ++frame)
            FrameAt(Fake.NowMs + FrameMs);
        const Phases after = read();
        ASSERT_EQ(before.CameraPosition.size(), 10u);
        ASSERT_EQ(before.CameraAngle.size(), 4u);
        if (paused) {
            EXPECT_EQ(after.CameraPosition, before.CameraPosition);
            EXPECT_EQ(after.CameraAngle, before.CameraAngle);
        } else {
            EXPECT_NE(after.CameraPosition, before.CameraPosition);
            EXPECT_NE(after.CameraAngle, before.CameraAngle);
        }
        EXPECT_NE(after.Arcs, before.Arcs);
        EXPECT_NE(after.Text, before.Text);
    }
}

} // namespace
