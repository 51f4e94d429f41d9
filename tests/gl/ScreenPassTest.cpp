// The full-window passes: the viewport and projection the letterbox leaves, the pixels that fades, bands
// and clears write, whatever the polygon mode, and the GL state they hand back.

#include "support/GlTestFixture.h"

#include <array>
#include <cmath>

namespace {

using namespace gltest;
using ScreenPassTest = ProgramTest;

// Each step takes 5 % of the height off the bottom and the top, truncated; the view narrows by up to 44
// degrees at step 6. Steps beyond 0..6 (a damaged file) and the field of view are held within range.
TEST_F(ScreenPassTest, LetterboxSetsViewportAndNarrowsThePerspective) {
    const struct {
        int Height, Letterbox;
        float CameraFov;
        std::array<int, 4> Viewport;
        double Fovy;
    } rows[] = {
        {480, 0, 110.0f, {0, 0, 640, 480}, 110.0},   {480, 3, 110.0f, {0, 72, 640, 336}, 99.0},
        {480, 6, 110.0f, {0, 144, 640, 192}, 66.0},  {768, 1, 90.0f, {0, 38, 640, 691}, 90.0 - 44.0 / 36.0},
        {480, 99, 110.0f, {0, 144, 640, 192}, 66.0}, {480, -3, 110.0f, {0, 0, 640, 480}, 110.0},
        {480, 0, 0.0f, {0, 0, 640, 480}, 1.0},       {480, 0, 1000.0f, {0, 0, 640, 480}, 179.0}};
    Settings.CameraZ = 0.25f;
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "height " << r.Height << ", letterbox " << r.Letterbox << ", fov " << r.CameraFov);
        View.Reshape(640, r.Height);
        MainCamera.Fov = r.CameraFov;
        View.SetLetterbox(r.Letterbox);
        View.ApplyViewport();
        View.BeginPerspective();
        std::array<int, 4> viewport{};
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        std::array<double, 16> p{}, m{};
        glGetDoublev(GL_PROJECTION_MATRIX, p.data());
        glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
        EXPECT_EQ(viewport, r.Viewport);
        EXPECT_NEAR(2.0 * std::atan(1.0 / p[5]) * 180.0 / M_PI, r.Fovy, 1e-3);
        EXPECT_NEAR(p[5] / p[0], 640.0 / r.Viewport[3], 1e-4);
        EXPECT_NEAR(p[14] / (p[10] - 1.0), 0.1, 1e-4); // near
        EXPECT_NEAR(p[14] / (p[10] + 1.0), 30.0 + 0.25 + 0.7,
                    1e-2); // far, pushed out by CameraZ and ObjectSize
        EXPECT_EQ(std::make_tuple(m[0], m[5], m[10], m[14]),
                  std::make_tuple(1.0, 1.0, 1.0, -0.25)); // the eye at CameraZ
    }
}

TEST_F(ScreenPassTest, FadesBandsAndClearsPaintOnlyTheirArea) {
    enum Pass { Fade, Bars, Clear };
    const Rgb painted = {200, 120, 40}, black = {0, 0, 0};
    const struct {
        Pass What;
        int Letterbox, ScreenClear;
        float Alpha;
        Rgb ClearColour;
        GLenum PolygonMode;
        Rgb Picture, Bands;
    } rows[] = {
        {Fade, 0, 1, 0.25f, black, GL_FILL, {150, 90, 30}, painted},
        {Fade, 6, 1, 0.75f, black, GL_LINE, {50, 30, 10}, painted},
        {Fade, 2, 1, 0.5f, {0, 0, 255}, GL_POINT, {100, 60, 148}, painted},
        {Bars, 2, 1, 0.0f, black, GL_FILL, painted, black},
        {Bars, 6, 1, 0.0f, black, GL_LINE, painted, black},
        {Clear, 0, 1, 0.0f, black, GL_FILL, black, black},
        {Clear, 6, 1, 0.0f, black, GL_FILL, black, painted},   // the bands keep their black
        {Clear, 2, 0, 0.0f, black, GL_FILL, painted, painted}, // trails: the loop has faded instead
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "pass " << r.What << ", letterbox " << r.Letterbox);
        for (int c = 0; c < 3; ++c)
            View.ClearColor[c] = r.ClearColour[c] / 255.0f;
        Settings.Letterbox = r.Letterbox, Settings.ScreenClear = r.ScreenClear;
        Paint(painted);
        glClearDepth(0.25);
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
        View.SetLetterbox(r.What == Bars ? 0 : r.Letterbox);
        View.ApplyViewport();
        View.BeginOrtho();
        View.SetLetterbox(r.Letterbox);
        glPolygonMode(GL_FRONT_AND_BACK, r.PolygonMode);
        r.What == Fade ? View.Fade(r.Alpha) : r.What == Bars ? View.DrawLetterboxBars() : View.ClearScreen();
        ExpectRows(r.Picture, r.Bands);
        GLint mode[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, mode);
        GLfloat depth = 0.0f;
        glReadPixels(320, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_EQ(std::make_tuple(GLenum(mode[0]), GLenum(mode[1]), std::lround(depth * 4)),
                  std::make_tuple(r.PolygonMode, r.PolygonMode, r.What == Clear ? 4l : 1l));
        ExpectRestingState();
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
}

TEST_F(ScreenPassTest, PolygonModeFollowsTheSettingAndAWindowOfNoHeightDraws) {
    for (const auto& [before, setting, after] : {std::tuple{GL_LINE, 0, GL_FILL},
                                                 {GL_FILL, 1, GL_LINE},
                                                 {GL_FILL, 2, GL_POINT},
                                                 {GL_LINE, 3, GL_LINE},
                                                 {GL_POINT, -1, GL_POINT}}) {
        glPolygonMode(GL_FRONT_AND_BACK, before);
        Settings.PolygonMode = setting;
        ApplyPolygonMode(Settings);
        GLint mode[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, mode);
        EXPECT_EQ(std::make_tuple(mode[0], mode[1]), std::make_tuple(GLint(after), GLint(after))) << setting;
    }
    // A minimised window: frames go on without a GL error, in trail mode and with full clears.
    ProgramCallbacks().Reshape(640, 0);
    for (int letterbox : {0, 6})
        for (int screenClear : {0, 1}) {
            Settings.Letterbox = letterbox, Settings.ScreenClear = screenClear;
            FrameAt(Fake.NowMs + FrameMs);
        }
}

} // namespace
