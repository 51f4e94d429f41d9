// The full-window passes: the viewport and projection the letterbox leaves, and the polygon mode. What the
// fades, bands and clears paint is seen in whole frames (FrameLoopTest).

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
            Settings.Letterbox = letterbox;
            Settings.ScreenClear = screenClear;
            FrameAt(Fake.NowMs + FrameMs);
        }
}

} // namespace
