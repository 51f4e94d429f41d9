// The camera steps of a frame on a real OpenGL context: the pose and velocity they leave behind, the
// model-view matrix they hand to the scene, and the pointer warps they ask of the host.

#include "render/InputState.h"
#include "scene/OscillatorBank.h"
#include "support/GlTestFixture.h"

#include <cmath>
#include <limits>
#include <utility>

namespace {

using namespace gltest;

class CameraTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Mouse = MouseState();
        Keys = KeyboardState();
        Settings.MoveSensitivity = 1.5f;
        Fake.Warps.clear(); // start-up's own
    }

    // The camera steps of one frame 16 ms after the last on a fresh model-view matrix, then the end of the
    // frame; afterwards the matrix must put the camera at the eye and its forward axis along the view.
    void Frame() {
        Fake.NowMs += FrameMs;
        Clock.Tick(Fake.NowMs);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        ApplyCamera();
        Mouse.EndFrame();
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        const Camera& c = MainCamera;
        for (float ahead : {0.0f, 1.0f})
            for (int row = 0; row < 3; ++row)
                EXPECT_NEAR(m[row] * (c.X + ahead * c.ForwardAxis[0]) +
                                m[4 + row] * (c.Y + ahead * c.ForwardAxis[1]) +
                                m[8 + row] * (c.Z + ahead * c.ForwardAxis[2]) + m[12 + row],
                            row == 2 ? -ahead : 0.0f, 1e-4f);
    }
};

TEST_F(CameraTest, AutomaticModeSwingsWithinItsBoundsAndHoldingModesKeepThePose) {
    Camera& c = MainCamera;
    Settings.CameraMode = 0;
    for (float s : {-1.0f, 0.0f, 1.0f}) { // phases at which every channel reads its lowest, middle, highest
        SCOPED_TRACE(testing::Message() << "sine " << s);
        for (int channel = 0; channel < 3; ++channel) {
            CameraAngleBank.Phase[channel] = std::asin(s) / c.AngleWanderRate;
            CameraPositionBank.Phase[channel] = std::asin(s) / c.PositionWanderRate;
        }
        Mouse.Moved = 1;
        Frame();
        for (auto [value, expected] : {std::pair{c.Pitch, 40.0f * s},
                                       {c.Yaw, 40.0f * s},
                                       {c.X, 0.125f * s},
                                       {c.Y, 0.125f * s},
                                       {c.Z, 1.25f + 0.125f * s}})
            EXPECT_NEAR(value, expected, 1e-4f);
        EXPECT_EQ(Mouse.Moved, 0);
    }
    // Paused, holding, or under manual control with the mouse still, nothing turns, moves or warps.
    const struct { int Mode, Paused; } holds[] = {{0, 1}, {2, 0}, {2, 1}, {1, 1}};
    for (const auto& h : holds) {
        SCOPED_TRACE(testing::Message() << "mode " << h.Mode << ", paused " << h.Paused);
        Settings.CameraMode = h.Mode;
        Paused = h.Paused;
        c.X = -0.5f, c.Y = 0.2f, c.Z = 2.0f, c.Pitch = 20.0f, c.Yaw = 5.0f, c.VX = 1.0f;
        Mouse.Moved = h.Mode == 2;
        Frame();
        EXPECT_TRUE(c.X == -0.5f && c.Y == 0.2f && c.Z == 2.0f && c.Pitch == 20.0f && c.Yaw == 5.0f);
        EXPECT_EQ(Mouse.Moved, 0);
        EXPECT_TRUE(Fake.Warps.empty());
    }
}

// Each pointer offset from the middle of the window turns the view once (twice through the rate when not
// paused) and the angles wrap into one turn; a second frame with no motion event (the warp's may never
// come) turns nothing. The window is small: the pointer is held at its middle, from its first reshape on.
TEST_F(CameraTest, MouseLookTurnsOncePerOffsetAndWrapsWhateverTheSize) {
    constexpr float Inf = std::numeric_limits<float>::infinity(), InRange = -1.0f;
    const struct {
        int Paused;
        float Sensitivity, Start;
        int Dx, Dy;
        float Yaw, Pitch; // InRange: anywhere within 0..360
    } cases[] = {
        {0, 1.0f, 100.0f, 10, -4, 103.0f, 98.8f},   {1, 1.0f, 100.0f, 10, -4, 101.5f, 99.4f},
        {0, 2.5f, 100.0f, -6, 8, 95.5f, 106.0f},    {1, 1.0f, 365.0f, 0, 0, 5.0f, 5.0f},
        {1, 1.0f, -10.0f, 0, 0, 350.0f, 350.0f},    {1, 1.0f, 360.0f, 0, 0, 360.0f, 360.0f},
        {1, 1.0f, 359.0f, 20, -20, 2.0f, 356.0f},   {1, 1.0f, 1e30f, 0, 0, InRange, InRange},
        {1, 1.0f, Inf, 0, 0, 0.0f, 0.0f},           {1, 1.0f, std::nanf(""), 0, 0, 0.0f, 0.0f},
        {1, 1e30f, 100.0f, 3, 3, InRange, InRange}, {0, 3e38f, 100.0f, 100, 100, 100.0f, 100.0f},
    };
    Settings.CameraMode = 1;
    ProgramCallbacks().Reshape(400, 300);
    ASSERT_EQ(Fake.Warps.size(), 1u);
    EXPECT_TRUE(Fake.Warps[0].X == 200 && Fake.Warps[0].Y == 150);
    Mouse.Motion(320, 240, Settings, View); // held at the former middle, reported late
    EXPECT_TRUE(Mouse.PointerX == 0 && Mouse.PointerY == 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        Paused = c.Paused;
        Settings.MouseSensitivity = c.Sensitivity;
        MainCamera.Pitch = MainCamera.Yaw = c.Start;
        Fake.Warps.clear();
        Mouse.Motion(200 + c.Dx, 150 + c.Dy, Settings, View);
        for (int frame = 1; frame <= 2; ++frame) {
            Frame();
            for (auto [angle, expected] : {std::pair{MainCamera.Yaw, c.Yaw}, {MainCamera.Pitch, c.Pitch}})
                if (expected == InRange)
                    EXPECT_TRUE(angle >= 0.0f && angle <= 360.0f) << angle;
                else
                    EXPECT_NEAR(angle, expected, 1e-3f) << "frame " << frame;
            ASSERT_EQ(Fake.Warps.size(), size_t(frame));
            EXPECT_TRUE(Fake.Warps.back().X == 200 && Fake.Warps.back().Y == 150);
        }
    }
}

TEST_F(CameraTest, NoTurnLeftOverAfterTheMenuHeldTheCamera) {
    // Turning, then the menu holds the camera (mode 2 forgets the motion) and gives mode 1 back: the view
    // stays still until the mouse moves again.
    Settings.CameraMode = 1;
    Mouse.Motion(Mouse.CentreX + 20, Mouse.CentreY, Settings, View);
    Frame();
    Settings.CameraMode = 2;
    Frame();
    Settings.CameraMode = 1;
    const float yaw = MainCamera.Yaw;
    Frame();
    Frame();
    EXPECT_EQ(MainCamera.Yaw, yaw);
}

TEST_F(CameraTest, ThrustAlongTheViewWithinSpeedLimits) {
    constexpr float A = 2.0f * 0.016f * 1.5f; // Thrust x frame time x MoveSensitivity
    using K = KeyboardState;
    // Turned a quarter to the right: forward is +x, left is -z, down is -y. Paused, so the pose stays.
    const struct {
        int Mode, Menu, Click, Arrows, Alt, Brake;
        float StartVX, Expected[3]; // velocity before the frame's damping
    } cases[] = {
        {0, 0, 1, 0, 0, 0, 0, {A, 0, 0}}, // clicks push in every mode
        {1, 0, 1, 0, 0, 0, 0, {A, 0, 0}},
        {2, 0, 1, 0, 4, 0, 0, {A, 0, 0}}, // Alt does not speed up clicks
        {1, 1, 1, 0, 0, 0, 0, {0, 0, 0}}, // nothing reaches past the menu
        {1, 0, 0, K::ArrowForward | K::ArrowLeft, 0, 0, 0, {A, 0, -A}},
        {1, 0, 0, K::ArrowBack | K::ArrowRight, 0, 0, 0, {-A, 0, A}},
        {1, 0, 0, K::ArrowUp, 0, 0, 0, {0, 3 * A, 0}},
        {1, 0, 0, K::ArrowDown, 0, 0, 0, {0, -3 * A, 0}},
        {1, 0, 1, K::ArrowForward, 4, 0, 0, {11 * A, 0, 0}},
        {0, 0, 0, K::ArrowForward, 0, 0, 0, {0, 0, 0}}, // arrows only under manual control
        {1, 1, 0, K::ArrowForward, 0, 0, 0, {0, 0, 0}},
        {1, 0, 0, K::ArrowForward, 0, 0, 5000, {100, 0, 0}}, // MaxSpeed
        {1, 0, 0, K::ArrowForward, 4, 0, 5000, {1000, 0, 0}},
        {1, 0, 1, 0, 4, 0, 5000, {200, 0, 0}},
        {2, 0, 0, 0, 0, 1, 1, {1, 0, 0}}, // the middle button brakes
    };
    Paused = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        Settings.CameraMode = c.Mode;
        MenuShown = c.Menu;
        MainCamera.Pitch = 0.0f, MainCamera.Yaw = 90.0f;
        MainCamera.VX = c.StartVX, MainCamera.VY = MainCamera.VZ = 0.0f;
        Mouse = MouseState();
        Mouse.LeftButton = c.Click, Mouse.MiddleButton = c.Brake;
        Keys.Arrows = c.Arrows, Keys.Alt = c.Alt;
        Frame();
        const float damping = 1.0f - (c.Brake ? 5.0f : 0.5f) * 0.016f;
        const float velocity[3] = {MainCamera.VX, MainCamera.VY, MainCamera.VZ};
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR(velocity[axis], c.Expected[axis] * damping, 1e-5f + 1e-5f * c.StartVX)
                << "axis " << axis;
    }
    // Unpaused under manual control the velocity moves the camera.
    Paused = 0, Settings.CameraMode = 1;
    const float startX = MainCamera.X;
    Frame();
    EXPECT_NEAR(MainCamera.X, startX + 0.016f * 0.92f, 1e-5f);
}

} // namespace
