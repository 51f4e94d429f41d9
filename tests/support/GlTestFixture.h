#pragma once

// The GL tests' fixtures, on a real OpenGL context (Mesa's software renderer through EGL, no window):
//   GlTest        a 640 x 480 context; every test ends with no OpenGL error pending
//   ProgramTest   the program as main leaves it before the first frame, on the scripted host Fake at 0 ms,
//                 in a scratch folder, its window shown: FrameAt(ms), FramesUntil(ms, step), StartProgram()
//                 again, Press(key) and Press(Special + key) (the status line's text after it)
// and the probes:
//   LitPixels(left, bottom, right, top)       how many pixels of [left, right) x [bottom, top) are brighter
//                                             than the darkest star
//   ExpectRestingState()                      the GL state every pass and frame must hand back
//   ShownValue(id)                            what the open menu page's row with this id shows
//   ConsoleOutput(call)                       what the call wrote to stdout
//   BeginWideOrtho()                          window pixels, as BeginOrtho, but unclipped far beyond the
//                                             window's edges, for feedback of what falls outside it

// The program's static objects and globals come with support/ProgramState.h.
#include "app/FrameLoop.h"
#include "app/KeyboardControls.h"
#include "app/PointerControls.h"
#include "app/Startup.h"
#include "support/Bytes.h"
#include "support/FakePlatform.h"
#include "support/Feedback.h"
#include "support/OffscreenContext.h"
#include "support/ProgramState.h"
#include "support/ScratchFolder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
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

// Between draws OpenGL rests with the alpha test, blending, the depth test and texturing off, the alpha
// reference at 0, the blend factors at source alpha and one minus source alpha, and depth writes on.
inline void ExpectRestingState() {
    GLfloat reference = -1.0f;
    GLint factors[2] = {};
    GLboolean depthWrites = GL_FALSE;
    glGetFloatv(GL_ALPHA_TEST_REF, &reference);
    glGetIntegerv(GL_BLEND_SRC, &factors[0]);
    glGetIntegerv(GL_BLEND_DST, &factors[1]);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(std::make_tuple(glIsEnabled(GL_ALPHA_TEST), reference, glIsEnabled(GL_BLEND), factors[0],
                              factors[1], glIsEnabled(GL_DEPTH_TEST), depthWrites,
                              glIsEnabled(GL_TEXTURE_2D)),
              std::make_tuple(GL_FALSE, 0.0f, GL_FALSE, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_FALSE,
                              GL_TRUE, GL_FALSE))
        << "alpha test, its reference, blending, blend factors, depth test, depth writes, texturing";
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

// What the open menu page's row with this id shows: a slider's value, a toggle's state; -1 without the row.
inline float ShownValue(int id) {
    for (int slot = 0; slot < Dialogs.WidgetCount; ++slot) {
        const Widget* row = Dialogs.Widgets[slot].get();
        if (row->Id == id)
            return row->Kind == SliderKind ? static_cast<const SliderWidget*>(row)->Value : float(row->State);
    }
    return -1.0f;
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
        ConsoleOutput(InitGL);
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
