// The full-window passes of ScreenView on a real OpenGL context: the viewport and projections they leave
// behind, the pixels that fades, bands and clears write, and the GL state they hand back.

#include "support/GlTestFixture.h"

#include <array>
#include <cmath>

namespace {

using namespace gltest;
using ScreenPassTest = ProgramTest;
constexpr double Pi = 3.14159265358979323846;

std::array<double, 16> CurrentMatrix(GLenum which) {
    std::array<double, 16> m{};
    glGetDoublev(which, m.data());
    return m;
}

bool AllFinite(const std::array<double, 16>& m) {
    for (double value : m)
        if (!std::isfinite(value))
            return false;
    return true;
}

GLenum CurrentPolygonMode() {
    GLint mode[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], mode[1]) << "front and back differ";
    return GLenum(mode[0]);
}

TEST_F(ScreenPassTest, PerspectiveFollowsLetterboxAndFieldOfView) {
    const struct {
        int Letterbox;
        float CameraFov;
        std::array<int, 4> Viewport;
        double Fovy;
    } cases[] = {
        {0, 110.0f, {0, 0, 640, 480}, 110.0}, {6, 110.0f, {0, 144, 640, 192}, 66.0},
        {0, 0.0f, {0, 0, 640, 480}, 1.0},     {0, 1000.0f, {0, 0, 640, 480}, 179.0},
        {6, 10.0f, {0, 144, 640, 192}, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "letterbox " << c.Letterbox << ", camera fov " << c.CameraFov);
        MainCamera.Fov = c.CameraFov;
        View.SetLetterbox(c.Letterbox);
        View.ApplyViewport();
        View.BeginPerspective();

        std::array<int, 4> viewport{};
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, c.Viewport);
        const auto projection = CurrentMatrix(GL_PROJECTION_MATRIX);
        EXPECT_NEAR(2.0 * std::atan(1.0 / projection[5]) * 180.0 / Pi, c.Fovy, 1e-3);
        EXPECT_NEAR(projection[5] / projection[0], double(c.Viewport[2]) / c.Viewport[3], 1e-4);
        // The far plane is pushed out by the camera distance and the object size.
        EXPECT_NEAR(projection[14] / (projection[10] + 1.0),
                    View.Far + Settings.CameraZ + Settings.ObjectSize, 1e-2);
    }
}

TEST_F(ScreenPassTest, ZeroHeightWindowKeepsMatricesFiniteWithoutGlError) {
    const struct { int Width, Height, Letterbox; } sizes[] = {{640, 0, 0}, {640, 0, 6}, {0, 0, 4}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message()
                     << size.Width << "x" << size.Height << ", letterbox " << size.Letterbox);
        View.Reshape(size.Width, size.Height);
        View.SetLetterbox(size.Letterbox);
        View.ApplyViewport();
        View.BeginOrtho();
        EXPECT_TRUE(AllFinite(CurrentMatrix(GL_PROJECTION_MATRIX)));
        View.Fade(0.5f);
        View.DrawLetterboxBars();
        View.ClearScreen();
        View.BeginPerspective();
        EXPECT_TRUE(AllFinite(CurrentMatrix(GL_PROJECTION_MATRIX)));
        EXPECT_TRUE(AllFinite(CurrentMatrix(GL_MODELVIEW_MATRIX)));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

        // Whole frames of the program too, in trail mode and with full clears.
        Settings.Letterbox = size.Letterbox;
        for (int screenClear : {0, 1}) {
            Settings.ScreenClear = screenClear;
            FrameAt(Fake.NowMs + FrameMs);
        }
    }
}

// The fade and the bands fill their rectangles whatever the polygon mode, and hand that mode back.
TEST_F(ScreenPassTest, FadeBlendsClearColourOverPictureAreaOnly) {
    const Rgb painted = {200, 120, 40};
    const struct {
        int Letterbox;
        float Alpha;
        Rgb ClearColour;
        GLenum PolygonMode;
    } cases[] = {
        {0, 0.25f, {0, 0, 0}, GL_FILL},
        {6, 0.75f, {0, 0, 0}, GL_LINE},
        {2, 0.5f, {0, 0, 255}, GL_POINT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "letterbox " << c.Letterbox << ", alpha " << c.Alpha);
        Rgb faded;
        for (int channel = 0; channel < 3; ++channel) {
            View.ClearColor[channel] = c.ClearColour[channel] / 255.0f;
            faded[channel] =
                int(std::lround(painted[channel] * (1.0 - c.Alpha) + c.ClearColour[channel] * c.Alpha));
        }
        Paint(painted);
        View.SetLetterbox(c.Letterbox);
        View.ApplyViewport();
        View.BeginOrtho();
        glPolygonMode(GL_FRONT_AND_BACK, c.PolygonMode);
        View.Fade(c.Alpha);

        ExpectRows(faded, painted);
        EXPECT_EQ(CurrentPolygonMode(), c.PolygonMode);
        ExpectRestingState();
    }
}

TEST_F(ScreenPassTest, LetterboxBarsPaintBothBandsBlack) {
    const Rgb painted = {30, 220, 90};
    for (GLenum polygonMode : {GL_FILL, GL_LINE}) {
        for (int letterbox : {2, 6}) {
            SCOPED_TRACE(testing::Message() << "letterbox " << letterbox << ", polygon mode " << polygonMode);
            Paint(painted);
            View.SetLetterbox(0);
            View.ApplyViewport();
            View.BeginOrtho();
            View.SetLetterbox(letterbox);
            glPolygonMode(GL_FRONT_AND_BACK, polygonMode);
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            View.DrawLetterboxBars();

            ExpectRows(painted, {0, 0, 0});
            EXPECT_EQ(CurrentPolygonMode(), polygonMode);
            ExpectRestingState();
        }
    }
}

TEST_F(ScreenPassTest, ClearScreenClearsDepthAlwaysAndColourOnlyInPictureOutsideTrails) {
    const Rgb painted = {255, 0, 0};
    const struct { int Letterbox, ScreenClear; } cases[] = {{0, 1}, {6, 1}, {2, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "letterbox " << c.Letterbox << ", screen clear " << c.ScreenClear);
        Settings.Letterbox = c.Letterbox;
        Settings.ScreenClear = c.ScreenClear;
        Paint(painted);
        glClearDepth(0.25);
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
        View.SetLetterbox(Settings.Letterbox);
        View.ApplyViewport();
        View.BeginOrtho();
        View.ClearScreen();

        ExpectRows(c.ScreenClear ? Rgb{0, 0, 0} : painted, painted);
        for (int y : {0, WindowHeight / 2, WindowHeight - 1}) {
            GLfloat depth = 0.0f;
            glReadPixels(WindowWidth / 2, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
            EXPECT_FLOAT_EQ(depth, 1.0f) << "depth in row " << y;
        }
        ExpectRestingState();
    }
}

TEST_F(ScreenPassTest, PolygonModeFollowsSettingAndKeepsLastForOtherValues) {
    const struct {
        GLenum Before;
        int Setting;
        GLenum After;
    } cases[] = {
        {GL_LINE, 0, GL_FILL}, {GL_FILL, 1, GL_LINE},    {GL_FILL, 2, GL_POINT},
        {GL_LINE, 3, GL_LINE}, {GL_POINT, -1, GL_POINT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "setting " << c.Setting << " after mode " << c.Before);
        glPolygonMode(GL_FRONT_AND_BACK, c.Before);
        Settings.PolygonMode = c.Setting;
        ApplyPolygonMode(Settings);
        EXPECT_EQ(CurrentPolygonMode(), c.After);
    }
}

} // namespace
