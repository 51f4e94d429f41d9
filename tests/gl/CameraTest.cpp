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
    void SetUp() override {
        ProgramTest::SetUp();
        Fake.Warps.clear();       // start-up's own
        MainCamera.Angle = 30.0f; // a roll, so that the order of all three turns shows
    }

    // The camera steps of one 16 ms frame on an identity model-view matrix, then the end of the frame.
    void Frame() {
        Fake.NowMs += FrameMs;
        Clock.Tick(Fake.NowMs);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        ApplyCamera();
        Mouse.EndFrame();
    }

    // The matrix the steps leave: roll about z, then pitch about x, then yaw about y, then the move that
    // brings the camera's place to the eye.
    static void ExpectView(double pitch, double yaw, double x, double y, double z) {
        const Turn3 r = Turn(2, 30.0) * Turn(0, pitch) * Turn(1, yaw);
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column)
                EXPECT_NEAR(m[4 * column + row], r[3 * row + column], 1e-5) << row << ", " << column;
            EXPECT_NEAR(m[12 + row], -(r[3 * row] * x + r[3 * row + 1] * y + r[3 * row + 2] * z), 1e-5)
                << row;
        }
    }
};

// Pitch and yaw swing within 40 degrees by the angle bank's channels 0 and 1 at rate 5; x, y and z within
// an eighth of a unit of the anchor (0, 0, 1.25) by the position bank's channels 0 to 2 at rate 20.
TEST_F(CameraTest, AutomaticModeLooksAndDriftsEachAxisByItsOwnChannel) {
    const double angleSines[] = {0.5, -0.25}, positionSines[] = {0.8, -0.4, 0.2};
    for (int c = 0; c < 3; ++c) {
        CameraPositionBank.Phase[c] = float(std::asin(positionSines[c]) / 20.0);
        if (c < 2)
            CameraAngleBank.Phase[c] = float(std::asin(angleSines[c]) / 5.0);
    }
    Settings.CameraMode = 0;
    for (int paused : {0, 1}) {
        Paused = paused;
        Mouse.Motion(600, 100, Settings, View);
        Frame();
        ExpectView(20.0, -10.0, 0.1, -0.05, 1.275);
        EXPECT_EQ(Mouse.Moved, 0);
        CameraAngleBank.Phase[0] = CameraPositionBank.Phase[0] = 1.0f; // paused, the pose stays
    }
    EXPECT_TRUE(Fake.Warps.empty());
}

// Under manual control each pointer offset turns the view 0.15 degrees per pixel and unit of sensitivity,
// wraps the angles into one turn and warps the pointer back; unless paused the turn is added once more
// after the view is set (seen from the next frame on) and the velocity moves the camera. Holding, nothing
// turns, moves or warps.
TEST_F(CameraTest, ManualModeTurnsByThePointerAndMovesAndHoldModeKeepsStill) {
    const struct {
        int Mode, Paused, Moved;
        float Sensitivity, Pitch0, Yaw0;
        int Dx, Dy;
        double ViewPitch, ViewYaw, Pitch, Yaw;
        bool Moves;
    } cases[] = {
        {1, 0, 1, 1.0f, 20, 5, 10, -4, 19.4, 6.5, 18.8, 8.0, true},
        {1, 1, 1, 2.5f, 20, 5, -6, 8, 23.0, 2.75, 23.0, 2.75, false},
        {1, 0, 0, 1.0f, 20, 5, 10, -4, 20.0, 5.0, 20.0, 5.0, true},
        {1, 1, 1, 1.0f, 5, 359, 20, -40, 359.0, 2.0, 359.0, 2.0, false},
        {2, 0, 1, 1.0f, 20, 5, 10, -4, 20.0, 5.0, 20.0, 5.0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        Settings.CameraMode = c.Mode, Paused = c.Paused, Settings.MouseSensitivity = c.Sensitivity;
        MainCamera.Pitch = c.Pitch0, MainCamera.Yaw = c.Yaw0;
        MainCamera.X = -0.5f, MainCamera.Y = 0.2f, MainCamera.Z = 2.0f;
        MainCamera.VX = 1.0f, MainCamera.VY = 2.0f, MainCamera.VZ = -3.0f;
        Fake.Warps.clear();
        Mouse.Motion(Mouse.CentreX + c.Dx, Mouse.CentreY + c.Dy, Settings, View);
        Mouse.Moved = c.Moved;
        Frame();
        const double step = c.Moves ? 0.016 : 0.0;
        ExpectView(c.ViewPitch, c.ViewYaw, -0.5 + step, 0.2 + 2 * step, 2.0 - 3 * step);
        EXPECT_NEAR(MainCamera.Pitch, c.Pitch, 1e-4);
        EXPECT_NEAR(MainCamera.Yaw, c.Yaw, 1e-4);
        EXPECT_EQ(Fake.Warps.size(), size_t(c.Mode == 1 && c.Moved));
        EXPECT_TRUE(Fake.Warps.empty() || (Fake.Warps[0].X == 500 && Fake.Warps[0].Y == 500));
        EXPECT_EQ(Mouse.Moved, c.Mode == 1 && c.Moved);
    }
    Settings.CameraMode = 1; // no motion event since the last turn: nothing of it is left over
    Frame();
    EXPECT_TRUE(MainCamera.Pitch == 20.0f && MainCamera.Yaw == 5.0f);
}

TEST_F(CameraTest, ThrustAlongTheViewWithinSpeedLimitsAndDampingSlowsIt) {
    constexpr float A = 2.0f * 0.016f * 1.5f; // Thrust x frame time x MoveSensitivity
    using K = KeyboardState;
    // Turned a quarter to the right: forward is +x, left is -z, down is -y. Paused, so the pose stays.
    const struct {
        int Mode, Menu, Click, Arrows, Alt, Brake;
        float StartVX, Expected[3]; // the velocity before the frame's damping
    } cases[] = {
        {0, 0, 1, 0, 0, 0, 0, {A, 0, 0}},               // clicks push in every mode
        {2, 0, 1, 0, 4, 0, 0, {A, 0, 0}},               // Alt does not speed up clicks
        {1, 1, 1, K::ArrowForward, 0, 0, 0, {0, 0, 0}}, // nothing reaches past the menu
        {1, 0, 0, K::ArrowForward | K::ArrowLeft, 0, 0, 0, {A, 0, -A}},
        {1, 0, 0, K::ArrowBack | K::ArrowRight, 0, 0, 0, {-A, 0, A}},
        {1, 0, 0, K::ArrowUp, 0, 0, 0, {0, 3 * A, 0}},
        {1, 0, 0, K::ArrowDown, 0, 0, 0, {0, -3 * A, 0}},
        {1, 0, 1, K::ArrowForward, 4, 0, 0, {11 * A, 0, 0}},
        {0, 0, 0, K::ArrowForward, 0, 0, 0, {0, 0, 0}},      // arrows only under manual control
        {1, 0, 0, K::ArrowForward, 0, 0, 5000, {100, 0, 0}}, // MaxSpeed
        {1, 0, 0, K::ArrowForward, 4, 0, 5000, {1000, 0, 0}},
        {1, 0, 1, 0, 4, 0, 5000, {200, 0, 0}},
        {2, 0, 0, 0, 0, 1, 1, {1, 0, 0}}, // the middle button brakes
    };
    Paused = 1;
    Settings.MoveSensitivity = 1.5f;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        Settings.CameraMode = c.Mode;
        MenuShown = c.Menu;
        MainCamera.Pitch = 0.0f, MainCamera.Yaw = 90.0f, MainCamera.Angle = 0.0f;
        MainCamera.VX = c.StartVX, MainCamera.VY = MainCamera.VZ = 0.0f;
        Mouse.LeftButton = c.Click, Mouse.MiddleButton = c.Brake;
        Keys.Arrows = c.Arrows, Keys.Alt = c.Alt;
        Frame();
        const float damping = 1.0f - (c.Brake ? 5.0f : 0.5f) * 0.016f;
        const float velocity[3] = {MainCamera.VX, MainCamera.VY, MainCamera.VZ};
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR(velocity[axis], c.Expected[axis] * damping, 1e-5f + 1e-5f * c.StartVX) << axis;
    }
}

} // namespace
