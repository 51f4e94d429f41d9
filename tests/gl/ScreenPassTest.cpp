// The full-window passes of ScreenView on a real OpenGL context: the viewport and projections they leave
// behind, the pixels that fades, bands and clears write, and the GL state they hand back.

#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "app/Startup.h"
#include "render/Camera.h"
#include "support/FakePlatform.h"
#include "support/OffscreenContext.h"
#include "ui/FpsText.h"

#include <GL/gl.h>
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
constexpr double Pi = 3.14159265358979323846;

using Rgb = std::array<int, 3>;

// Runs the test inside a fresh empty directory, so that no preferences file of another run is read.
class ScratchDirectory {
public:
    ScratchDirectory() : Previous(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tovi-screen-XXXXXX").string();
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

// The resting state every pass must hand back to the drawing code.
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

struct Viewport {
    int X, Y, Width, Height;
    bool operator==(const Viewport& other) const {
        return X == other.X && Y == other.Y && Width == other.Width && Height == other.Height;
    }
};

std::ostream& operator<<(std::ostream& out, const Viewport& v) {
    return out << "(" << v.X << ", " << v.Y << ", " << v.Width << ", " << v.Height << ")";
}

Viewport CurrentViewport() {
    GLint v[4] = {};
    glGetIntegerv(GL_VIEWPORT, v);
    return {v[0], v[1], v[2], v[3]};
}

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

class ScreenPassTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Context.Ok()) << Context.Error();
        Host = &Fake;
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

        testing::internal::CaptureStdout();
        InitGL();
        testing::internal::GetCapturedStdout();
        View.Reshape(WindowWidth, WindowHeight);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    // Fills the whole window with one colour.
    void Paint(const Rgb& colour) {
        glClearColor(colour[0] / 255.0f, colour[1] / 255.0f, colour[2] / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    }

    Rgb Pixel(int x, int y) const {
        unsigned char rgba[4] = {};
        Context.ReadPixel(x, y, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    testing::AssertionResult PixelNear(int x, int y, const Rgb& expected) const {
        const Rgb actual = Pixel(x, y);
        for (int channel = 0; channel < 3; ++channel)
            if (std::abs(actual[channel] - expected[channel]) > 2)
                return testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is (" << actual[0] << ", " << actual[1] << ", "
                       << actual[2] << "), expected (" << expected[0] << ", " << expected[1] << ", "
                       << expected[2] << ")";
        return testing::AssertionSuccess();
    }

    // The window rows on either side of each edge of the picture area and of the window.
    std::vector<int> EdgeRows() const {
        std::vector<int> rows;
        for (int y : {0, View.Top - 1, View.Top, View.Bottom - 1, View.Bottom, WindowHeight - 1})
            if (y >= 0 && y < WindowHeight)
                rows.push_back(y);
        return rows;
    }

    OffscreenContext Context{WindowWidth, WindowHeight};
    FakePlatform Fake;
    ScratchDirectory Scratch;
};

TEST_F(ScreenPassTest, PerspectiveFollowsLetterboxAndFieldOfView) {
    struct Case {
        int Letterbox;
        float CameraFov;
        Viewport ExpectedViewport;
        double ExpectedFovy;
    };
    const Case cases[] = {
        {0, 110.0f, {0, 0, 640, 480}, 110.0},  {6, 110.0f, {0, 144, 640, 192}, 66.0},
        {3, 110.0f, {0, 72, 640, 336}, 99.0},  {2, 90.0f, {0, 48, 640, 384}, 90.0 - 44.0 / 9.0},
        {-4, 110.0f, {0, 0, 640, 480}, 110.0}, // below the range: step 0
        {9, 110.0f, {0, 144, 640, 192}, 66.0}, // above the range: step 6
        {0, 0.0f, {0, 0, 640, 480}, 1.0},      {0, 1000.0f, {0, 0, 640, 480}, 179.0},
        {6, 10.0f, {0, 144, 640, 192}, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "letterbox " << c.Letterbox << ", camera fov " << c.CameraFov);
        MainCamera.Fov = c.CameraFov;
        View.SetLetterbox(c.Letterbox);
        View.ApplyViewport();
        View.BeginPerspective();
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

        EXPECT_EQ(CurrentViewport(), c.ExpectedViewport);
        const auto projection = CurrentMatrix(GL_PROJECTION_MATRIX);
        const double fovy = 2.0 * std::atan(1.0 / projection[5]) * 180.0 / Pi;
        EXPECT_NEAR(fovy, c.ExpectedFovy, 1e-3);
        const double aspect = projection[5] / projection[0];
        EXPECT_NEAR(aspect, double(c.ExpectedViewport.Width) / c.ExpectedViewport.Height, 1e-4);

        // Depth range: the near plane, and the far plane pushed out by the camera distance and object size.
        const double nearPlane = projection[14] / (projection[10] - 1.0);
        const double farPlane = projection[14] / (projection[10] + 1.0);
        EXPECT_NEAR(nearPlane, View.Near, 1e-4);
        EXPECT_NEAR(farPlane, double(View.Far) + Settings.CameraZ + Settings.ObjectSize, 1e-2);

        // The eye sits at (0, 0, CameraZ) looking down -z with y up.
        const auto modelview = CurrentMatrix(GL_MODELVIEW_MATRIX);
        const std::array<double, 16> lookDownZ = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -Settings.CameraZ,
                                                  1};
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(modelview[i], lookDownZ[i], 1e-6) << "modelview element " << i;
    }
}

TEST_F(ScreenPassTest, ZeroSizedWindowKeepsMatricesFiniteWithoutGlError) {
    const struct {
        int Width, Height, Letterbox;
    } sizes[] = {{640, 0, 0}, {640, 0, 6}, {0, 0, 0}, {0, 0, 6}, {0, 480, 3}, {1, 1, 6}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message()
                     << size.Width << "x" << size.Height << ", letterbox " << size.Letterbox);
        View.Reshape(size.Width, size.Height);
        View.SetLetterbox(size.Letterbox);
        View.ApplyViewport();

        View.BeginOrtho();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_TRUE(AllFinite(CurrentMatrix(GL_PROJECTION_MATRIX)));
        View.Fade(0.5f);
        View.DrawLetterboxBars();
        View.ClearScreen();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

        View.BeginPerspective();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_TRUE(AllFinite(CurrentMatrix(GL_PROJECTION_MATRIX)));
        EXPECT_TRUE(AllFinite(CurrentMatrix(GL_MODELVIEW_MATRIX)));
    }
}

TEST_F(ScreenPassTest, FadeBlendsClearColourOverPictureAreaOnly) {
    const Rgb painted = {200, 120, 40};
    const struct {
        int Letterbox;
        float Alpha;
        Rgb ClearColour;
    } cases[] = {
        {0, 0.0f, {0, 0, 0}},  {0, 0.25f, {0, 0, 0}},  {0, 1.0f, {0, 0, 0}},       {2, 0.5f, {0, 0, 0}},
        {6, 0.75f, {0, 0, 0}}, {2, 0.5f, {0, 0, 255}}, {0, 1.0f, {255, 255, 255}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "letterbox " << c.Letterbox << ", alpha " << c.Alpha << ", clear ("
                     << c.ClearColour[0] << ", " << c.ClearColour[1] << ", " << c.ClearColour[2] << ")");
        for (int channel = 0; channel < 3; ++channel)
            View.ClearColor[channel] = c.ClearColour[channel] / 255.0f;
        Paint(painted);
        View.SetLetterbox(c.Letterbox);
        View.ApplyViewport();
        View.BeginOrtho();
        View.Fade(c.Alpha);

        Rgb faded;
        for (int channel = 0; channel < 3; ++channel)
            faded[channel] =
                int(std::lround(painted[channel] * (1.0 - c.Alpha) + c.ClearColour[channel] * c.Alpha));
        for (int y : EdgeRows()) {
            const bool inPicture = y >= View.Top && y < View.Bottom;
            for (int x : {0, WindowWidth / 2, WindowWidth - 1})
                EXPECT_TRUE(PixelNear(x, y, inPicture ? faded : painted));
        }
        ExpectRestingState();
    }
}

TEST_F(ScreenPassTest, LetterboxBarsPaintBothBandsBlack) {
    const Rgb painted = {30, 220, 90};
    const Rgb black = {0, 0, 0};
    for (int letterbox : {0, 1, 2, 6}) {
        SCOPED_TRACE(testing::Message() << "letterbox " << letterbox);
        Paint(painted);
        View.SetLetterbox(0);
        View.ApplyViewport();
        View.BeginOrtho();
        View.SetLetterbox(letterbox);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        View.DrawLetterboxBars();

        for (int y : EdgeRows()) {
            const bool inPicture = y >= View.Top && y < View.Bottom;
            for (int x : {0, WindowWidth / 2, WindowWidth - 1})
                EXPECT_TRUE(PixelNear(x, y, inPicture ? painted : black));
        }
        ExpectRestingState();
    }
}

TEST_F(ScreenPassTest, FadeAndBarsFillEvenInLineAndPointModes) {
    const Rgb painted = {250, 250, 250};
    for (GLenum mode : {GL_LINE, GL_POINT}) {
        SCOPED_TRACE(testing::Message() << "polygon mode 0x" << std::hex << mode);
        Paint(painted);
        View.SetLetterbox(0);
        View.ApplyViewport();
        View.BeginOrtho();
        View.SetLetterbox(2);
        glPolygonMode(GL_FRONT_AND_BACK, mode);
        View.Fade(1.0f);
        View.DrawLetterboxBars();

        for (int y : {10, 100, 240, 300, 470})
            EXPECT_TRUE(PixelNear(WindowWidth / 3, y, {0, 0, 0}));
        GLint polygonMode[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, polygonMode);
        EXPECT_EQ(polygonMode[0], GLint(mode));
        EXPECT_EQ(polygonMode[1], GLint(mode));
        ExpectRestingState();
    }
}

TEST_F(ScreenPassTest, ClearScreenClearsDepthAlwaysAndColourOutsideTrails) {
    const Rgb painted = {255, 0, 0};
    const Rgb black = {0, 0, 0};
    const struct {
        int Letterbox;
        int ScreenClear;
        bool PictureCleared;
    } cases[] = {{0, 1, true}, {2, 1, true}, {6, 1, true}, {0, 0, false}, {2, 0, false}};
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
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

        // The bands keep what they hold; only the picture area is cleared.
        for (int y : EdgeRows()) {
            const bool inPicture = y >= View.Top && y < View.Bottom;
            for (int x : {0, WindowWidth / 2, WindowWidth - 1}) {
                EXPECT_TRUE(PixelNear(x, y, inPicture && c.PictureCleared ? black : painted));
                GLfloat depth = 0.0f;
                glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
                EXPECT_FLOAT_EQ(depth, 1.0f) << "depth at (" << x << ", " << y << ")";
            }
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
        {GL_LINE, 0, GL_FILL},   {GL_FILL, 1, GL_LINE},  {GL_FILL, 2, GL_POINT}, {GL_LINE, 3, GL_LINE},
        {GL_POINT, 3, GL_POINT}, {GL_FILL, -1, GL_FILL}, {GL_LINE, 99, GL_LINE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "setting " << c.Setting << " after mode 0x" << std::hex << c.Before);
        glPolygonMode(GL_FRONT_AND_BACK, c.Before);
        Settings.PolygonMode = c.Setting;
        ApplyPolygonMode(Settings);
        GLint mode[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, mode);
        EXPECT_EQ(mode[0], GLint(c.After));
        EXPECT_EQ(mode[1], GLint(c.After));
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
