#pragma once

// Shared set-up of the GL tests: a real offscreen context, the scripted host, a fresh working directory
// and every live value of the program as a new process has it.

#include "app/FrameClock.h"
#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "app/Startup.h"
#include "render/Camera.h"
#include "render/Texture.h"
#include "scene/OscillatorBank.h"
#include "support/FakePlatform.h"
#include "support/OffscreenContext.h"
#include "support/ProgramState.h"
#include "support/RestingState.h"
#include "ui/DialogStack.h"
#include "ui/OverlayText.h"

#include <GL/gl.h>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gltest {

using support::ResetProgram;

constexpr int WindowWidth = 640;
constexpr int WindowHeight = 480;
constexpr int FrameMs = 16;

using Rgb = std::array<int, 3>;

// Runs a test inside a fresh empty directory: the program reads and writes its preferences file in the
// working directory.
class ScratchDirectory {
public:
    ScratchDirectory() : Previous(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tovi-gl-XXXXXX").string();
        Path = mkdtemp(pattern.data());
        std::filesystem::current_path(Path);
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(Previous);
        std::filesystem::remove_all(Path);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

private:
    std::filesystem::path Previous;
    std::filesystem::path Path;
};

// The state every pass and every frame must hand back to the drawing code.
inline void ExpectRestingState() {
    const char* fault = support::RestingStateFault();
    EXPECT_FALSE(fault) << fault;
}

// The values OpenGL's feedback mode of the given type produces for whatever draw() draws.
template <typename Draw> std::vector<GLfloat> Feedback(GLenum type, std::size_t size, Draw draw) {
    std::vector<GLfloat> buffer(size);
    glFeedbackBuffer(GLsizei(size), type, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    EXPECT_GE(count, 0) << "feedback buffer overflow";
    buffer.resize(std::size_t(std::max(count, 0)));
    return buffer;
}

// A window-sized offscreen context and nothing else. Every test ends with no OpenGL error pending.
class GlTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Context.Ok()) << Context.Error(); }
    void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }

    OffscreenContext Context{WindowWidth, WindowHeight};
};

// Text drawn in window pixels with an empty font image, on the program's fresh state.
class TextTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetProgram();
        DialogText = OverlayText();
        OverlayText::Font = &Font;
        OverlayText::WaveBank = &TextWaveBank;
        OverlayText::ClockLink = &Clock;
        OverlayText::ViewLink = &View;
        TextWaveBank.Init(8);
        View.Reshape(WindowWidth, WindowHeight);
        View.SetLetterbox(0);
        View.BeginOrtho();
    }

    Texture Font;
};

// The program as main leaves it before the first frame, on the scripted host at 0 ms. Every test ends
// with no OpenGL error raised, neither left pending nor counted by the frame loop.
class ProgramTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        Host = &Fake;
        StartProgram();
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    void TearDown() override {
        GlTest::TearDown();
        EXPECT_EQ(GlErrorCount, 0);
    }

    // What a fresh process does before its first frame, with the console lines thrown away.
    void StartProgram() {
        ResetProgram();
        Fake = FakePlatform();
        testing::internal::CaptureStdout();
        InitGL();
        testing::internal::GetCapturedStdout();
        View.Reshape(WindowWidth, WindowHeight);
    }

    // One frame at the given reading of the host's millisecond counter.
    void FrameAt(int ms) {
        Fake.NowMs = ms;
        DisplayFrame();
        ExpectRestingState();
    }

    // Frames every stepMs up to and including the given reading.
    void FramesUntil(int ms, int stepMs = 100) {
        while (Fake.NowMs + stepMs < ms)
            FrameAt(Fake.NowMs + stepMs);
        FrameAt(ms);
    }

    // Fills the whole window with one colour.
    static void Paint(const Rgb& colour) {
        glClearColor(colour[0] / 255.0f, colour[1] / 255.0f, colour[2] / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    }

    testing::AssertionResult PixelNear(int x, int y, const Rgb& expected) const {
        unsigned char rgba[4] = {};
        Context.ReadPixel(x, y, rgba);
        for (int channel = 0; channel < 3; ++channel)
            if (std::abs(int(rgba[channel]) - expected[channel]) > 2)
                return testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is (" << int(rgba[0]) << ", " << int(rgba[1])
                       << ", " << int(rgba[2]) << "), expected (" << expected[0] << ", " << expected[1]
                       << ", " << expected[2] << ")";
        return testing::AssertionSuccess();
    }

    // The rows on either side of each edge of the picture area and of the window, and the middle row, at
    // the left edge, the middle and the right edge of the window.
    void ExpectRows(const Rgb& inPicture, const Rgb& inBands) const {
        for (int y :
             {0, View.Top - 1, View.Top, WindowHeight / 2, View.Bottom - 1, View.Bottom, WindowHeight - 1})
            for (int x : {0, WindowWidth / 2, WindowWidth - 1}) {
                const int row = std::clamp(y, 0, WindowHeight - 1);
                EXPECT_TRUE(PixelNear(x, row, row >= View.Top && row < View.Bottom ? inPicture : inBands));
            }
    }

    FakePlatform Fake;
    ScratchDirectory Scratch;
};

} // namespace gltest
