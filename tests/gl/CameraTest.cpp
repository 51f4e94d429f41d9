// The camera steps of a frame on a real context: the pose each camera mode leaves, the model-view matrix
// handed to the scene, the velocity the thrust builds and the damping takes away, and the pointer warps.

#include "support/GlTestFixture.h"
#include "support/Turns.h"

#include <cmath>

namespace {

using namespace gltest;
using namespace support;

class CameraTest : public ProgramTest {
protected:
    // The camera steps of one 16 ms frame on an identity model-view matrix, then the end of the frame.
    void Frame() {
        Clock.Tick(Fake.NowMs += FrameMs);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        ApplyCamera();
        Mouse.EndFrame();
    }
    // The matrix the steps leave: a roll of 30 about z, then pitch about x, then yaw about y, then the move
    // that brings the camera's place to the eye.
    static void ExpectView(double pitch, double yaw, const Point3& place) {
        const Turn3 r = Turn(2, 30.0) * Turn(0, pitch) * Turn(1, yaw);
        const Point3 eye = r * place;
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int i = 0; i < 12; ++i)
            EXPECT_NEAR(m[i < 9 ? i % 3 * 4 + i / 3 : 12 + i - 9], i < 9 ? r[i] : -eye[i - 9], 1e-5) << i;
    }
};

// Automatic: pitch and yaw swing within 40 degrees by the angle bank's channels 0 and 1 at rate 5; x, y and
// z within an eighth of a unit of the anchor (0, 0, 1.25) by the position bank's channels 0 to 2 at rate
// 20. The pointer is not held.
// Manual: each pointer offset from the middle of the window (here a small one) turns the view 0.15 degrees
// per pixel and unit of sensitivity, wraps the angles into one turn and warps the pointer back; unless
// paused the turn is added once more after the view is set (seen from the next frame on) and the velocity
// moves the camera. Holding, nothing turns, moves or warps; and no turn is left over for a frame without
// motion.
TEST_F(CameraTest, AutomaticModeLooksAndDriftsEachAxisByItsOwnChannelManualModeTurnsByThePointer) {
    const double sines[] = {0.5, -0.25, 0.8, -0.4, 0.2};
    for (int c = 0; c < 2; ++c)
        CameraAngleBank.Phase[c] = float(std::asin(sines[c]) / 5);
    for (int c = 0; c < 3; ++c)
        CameraPositionBank.Phase[c] = float(std::asin(sines[c + 2]) / 20);
    Settings.CameraMode = 0;
    MainCamera.Angle = 30.0f;
    Fake.Warps.clear();
    Mouse.Motion(600, 100, Settings, View);
    Frame();
    ExpectView(20.0, -10.0, {0.1, -0.05, 1.275});
    EXPECT_TRUE(Mouse.Moved == 0 && Fake.Warps.empty());
    const struct {
        int Mode, Paused, Moved;
        float Sensitivity, Pitch0, Yaw0;
        int Dx, Dy;
        double ViewPitch, ViewYaw, Pitch, Yaw, Step;
    } cases[] = {{1, 0, 1, 1.0f, 20, 5, 10, -4, 19.4, 6.5, 18.8, 8.0, 0.016},
                 {1, 1, 1, 2.5f, 5, 359, 8, -16, 359.0, 2.0, 359.0, 2.0, 0},
                 {1, 0, 0, 1.0f, 20, 5, 10, -4, 20.0, 5.0, 20.0, 5.0, 0.016},
                 {2, 0, 1, 1.0f, 20, 5, 10, -4, 20.0, 5.0, 20.0, 5.0, 0}};
    Settings.CameraMode = 1;
    ProgramCallbacks().Reshape(400, 300);
    EXPECT_TRUE(Fake.Warps.size() == 1 && Fake.Warps[0].X == 200 && Fake.Warps[0].Y == 150);
    Mouse.Motion(320, 240, Settings, View); // held at the former middle, reported late
    EXPECT_TRUE(Mouse.PointerX == 0 && Mouse.PointerY == 0);
    for (const auto& c : cases) {
        Settings.CameraMode = c.Mode;
        Paused = c.Paused;
        Settings.MouseSensitivity = c.Sensitivity;
        MainCamera.Pitch = c.Pitch0;
        MainCamera.Yaw = c.Yaw0;
        MainCamera.X = -0.5f;
        MainCamera.Y = 0.2f;
        MainCamera.Z = 2.0f;
        MainCamera.VX = 1.0f;
        MainCamera.VY = 2.0f;
        MainCamera.VZ = -3.0f;
        Fake.Warps.clear();
        if (c.Moved)
            Mouse.Motion(200 + c.Dx, 150 + c.Dy, Settings, View);
        Frame();
        ExpectView(c.ViewPitch, c.ViewYaw, {-0.5 + c.Step, 0.2 + 2 * c.Step, 2.0 - 3 * c.Step});
        EXPECT_TRUE(std::fabs(MainCamera.Pitch - c.Pitch) + std::fabs(MainCamera.Yaw - c.Yaw) < 1e-4)
            << &c - cases;
        EXPECT_EQ(Fake.Warps.size(), size_t(c.Mode == 1 && c.Moved));
        EXPECT_TRUE(Fake.Warps.empty() || (Fake.Warps[0].X == 200 && Fake.Warps[0].Y == 150));
        EXPECT_EQ(Mouse.Moved, c.Mode == 1 && c.Moved);
        Mouse.Moved = 0;
    }
    Fake.Warps.clear();
    ProgramCallbacks().Reshape(400, 500); // only taller: the middle moves all the same
    EXPECT_TRUE(Fake.Warps.size() == 1 && Fake.Warps[0].X == 200 && Fake.Warps[0].Y == 250);
}

// Turned a quarter to the right (forward +x, left -z, down -y) and paused: a click pushes forward by
// Thrust x frame time x sensitivity in any mode; under manual control the arrows push along the axes
// (up and down three times as hard), ten times as hard with Alt; nothing past the menu. The speed is held
// to 100 (1000 with Alt, 200 for clicks), and the frame's damping takes 0.5 (5 with the middle button)
// per second of it.
TEST_F(CameraTest, ThrustAlongTheViewWithinSpeedLimitsAndDampingSlowsIt) {
    constexpr float A = 2.0f * 0.016f * 1.5f;
    using K = KeyboardState;
    const struct {
        int Mode, Menu, Click, Arrows, Alt, Brake;
        float StartVX, Expected[3];
    } cases[] = {{0, 0, 1, 0, 0, 0, 0, {A, 0, 0}},
                 {2, 0, 1, 0, 4, 0, 0, {A, 0, 0}},
                 {1, 1, 1, K::ArrowForward, 0, 0, 0, {0, 0, 0}},
                 {1, 0, 0, K::ArrowForward | K::ArrowLeft | K::ArrowUp, 0, 0, 0, {A, 3 * A, -A}},
                 {1, 0, 0, K::ArrowBack | K::ArrowRight | K::ArrowDown, 0, 0, 0, {-A, -3 * A, A}},
                 {1, 0, 1, K::ArrowForward, 4, 0, 0, {11 * A, 0, 0}},
                 {0, 0, 0, K::ArrowForward, 0, 0, 0, {0, 0, 0}},
                 {1, 0, 0, K::ArrowForward, 0, 0, 5000, {100, 0, 0}},
                 {1, 0, 0, K::ArrowForward, 4, 0, 5000, {1000, 0, 0}},
                 {1, 0, 1, 0, 4, 0, 5000, {200, 0, 0}},
                 {2, 0, 0, 0, 0, 1, 1, {1, 0, 0}}};
    Paused = 1; // so the turn stays
    Settings.MoveSensitivity = 1.5f;
    MainCamera.Pitch = 0.0f;
    MainCamera.Yaw = 90.0f;
    for (const auto& c : cases) {
        Settings.CameraMode = c.Mode;
        MenuShown = c.Menu;
        MainCamera.VX = c.StartVX;
        MainCamera.VY = 0.0f;
        MainCamera.VZ = 0.0f;
        Mouse.LeftButton = c.Click;
        Mouse.MiddleButton = c.Brake;
        Keys.Arrows = c.Arrows;
        Keys.KeyDown('a', c.Alt); // Alt as the last key press left it
        Frame();
        const float damping = 1.0f - (c.Brake ? 5.0f : 0.5f) * 0.016f;
        const float tolerance = 1e-5f * (1 + c.StartVX);
        EXPECT_TRUE(std::fabs(MainCamera.VX - c.Expected[0] * damping) < tolerance &&
                    std::fabs(MainCamera.VY - c.Expected[1] * damping) < tolerance &&
                    std::fabs(MainCamera.VZ - c.Expected[2] * damping) < tolerance)
            << &c - cases << ": " << MainCamera.VX << ", " << MainCamera.VY << ", " << MainCamera.VZ;
    }
}

// Where the window system puts the pointer (a Wayland compositor's, as the window appears under it) is no
// motion of the hand: the report turns nothing, and the pointer is brought back to the middle.
TEST_F(CameraTest, PointerPlacedByTheWindowSystemTurnsNothing) {
    Fake.DeviceMoved = false;
    Fake.Warps.clear();
    Mouse.Motion(0, 0, Settings, View);
    Frame();
    EXPECT_TRUE(Settings.CameraMode == 1 && MainCamera.Pitch == 20.0f && MainCamera.Yaw == 5.0f);
    EXPECT_TRUE(Fake.Warps.size() == 1 && Fake.Warps[0].X == Mouse.CentreX &&
                Fake.Warps[0].Y == Mouse.CentreY);
}

} // namespace
