#pragma once

// The GL tests' fixtures, on a real OpenGL context (Mesa's software renderer through EGL, no window):
//   GlTest        a 640 x 480 context; every test ends with no OpenGL error pending
//   TextTest      GlTest with the text objects linked, an empty font and a whole-window pixel projection
//   ProgramTest   the program as main leaves it before the first frame, on the scripted host Fake at 0 ms,
//                 in a scratch folder, its window shown: FrameAt(ms), FramesUntil(ms, step), StartProgram()
//                 again, Press(key) and Press(Special + key) (the status line's text after it)
// and the probes:
//   LitPixels(left, bottom, right, top)       how many pixels of [left, right) x [bottom, top) are brighter
//                                             than the darkest star
//   ExpectRestingState()                      the GL state every pass and frame must hand back
//   MenuRow(id), ShownValue(id)               the open menu page's row with this id, and what it shows
//   ConsoleOutput(call)                       what the call wrote to stdout
//   BeginWideOrtho()                          window pixels, as BeginOrtho, but unclipped far beyond the
//                                             window's edges, for feedback of what falls outside it
// (PressSpecial(key) is now Press(Special + key); PixelNear and Paint live in FrameLoopTest, their one user.)

// The program's static objects and globals come with support/ProgramState.h.
#include "app/FrameLoop.h"
#include "app/KeyboardControls.h"
#include "app/PointerControls.h"
#include "app/Startup.h"
#include "support/Bytes.h"
#include "support/Console.h"
#include "support/FakePlatform.h"
#include "support/Feedback.h"
#include "support/OffscreenContext.h"
#include "support/ProgramState.h"
#include "support/RestingState.h"
#include "support/ScratchFolder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gltest {

using support::ResetProgram;
using support::Rgb;

constexpr int WindowWidth = 640;
constexpr int WindowHeight = 480;
constexpr int FrameMs = 16;
constexpr int Special = 256; // added to the codes of the special keys for Press

template <typename Call> std::string ConsoleOutput(Call call) {
    testing::internal::CaptureStdout();
    call();
    return testing::internal::GetCapturedStdout();
}

inline void ExpectRestingState() {
    const char* fault = support::RestingStateFault();
    EXPECT_FALSE(fault) << fault;
}

// Pixels brighter than the darkest star in the rectangle [left, right) x [bottom, top).
inline int LitPixels(int left, int bottom, int right, int top) {
    std::vector<unsigned char> rgba(std::size_t(right - left) * std::size_t(top - bottom) * 4);
    glReadPixels(left, bottom, right - left, top - bottom, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int lit = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        lit += rgba[i] + rgba[i + 1] + rgba[i + 2] > 60;
    return lit;
}

// The open menu page's row with this id, or null.
inline const Widget* MenuRow(int id) {
    for (int slot = 0; slot < Dialogs.WidgetCount; ++slot)
        if (Dialogs.Widgets[slot]->Id == id)
            return Dialogs.Widgets[slot].get();
    return nullptr;
}

// What the open menu page's row with this id shows: a slider's value, a toggle's state; -1 without the row.
inline float ShownValue(int id) {
    const Widget* row = MenuRow(id);
    return !row                      ? -1.0f
           : row->Kind == SliderKind ? static_cast<const SliderWidget*>(row)->Value
                                     : float(row->State);
}

inline void BeginWideOrtho() {
    glViewport(-4096, -4096, 8192, 8192);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4096.0, 4096.0, -4096.0, 4096.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

class GlTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Context.Ok()) << Context.Error(); }
    void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }

    OffscreenContext Context{WindowWidth, WindowHeight};
};

class TextTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ResetProgram();
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

// Every test also ends with no OpenGL error counted by the frame loop.
class ProgramTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
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
        Host = &Fake;
        ProgramCallbacks().WindowStatus(WindowFullyRetained); // the frame loop's own record of the window
        {
            support::SilencedStdout quiet;
            InitGL();
        }
        View.Reshape(WindowWidth, WindowHeight);
    }

    // One frame at the given reading of the host's millisecond counter.
    void FrameAt(int ms) {
        Fake.NowMs = ms;
        DisplayFrame();
        ExpectRestingState();
    }

    // A key pressed (and a special key, Special + its code, also released) while a full clear is pending
    // and the status line is empty: the line's text after it.
    static std::string Press(int key) {
        View.ClearFrames = 1;
        StatusLine.Text[0] = '\0';
        if (key < Special) {
            OnKeyboard(static_cast<unsigned char>(key), 0, 0);
        } else {
            OnSpecial(key - Special, 0, 0);
            OnSpecialUp(key - Special, 0, 0);
        }
        return StatusLine.Text;
    }

    // Frames every stepMs up to and including the given reading.
    void FramesUntil(int ms, int stepMs = 100) {
        while (Fake.NowMs + stepMs < ms)
            FrameAt(Fake.NowMs + stepMs);
        FrameAt(ms);
    }

    FakePlatform Fake;
    support::ScratchFolder Scratch;
};

} // namespace gltest
