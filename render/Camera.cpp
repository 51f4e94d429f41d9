#include "render/Camera.h"

#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "platform/Platform.h"
#include "render/InputState.h"
#include "render/MathUtil.h"
#include "scene/OscillatorBank.h"

#include <GL/gl.h>
#include <cmath>

namespace {

// Brings an angle above 360 down into (0, 360] and a negative one up into [0, 360); 0..360 stays as it is.
// The remainder is taken in one step, so an angle of any size costs the same, and one that is no number at
// all (an overflowing turn) starts again from 0.
float WrapDegrees(float angle) {
    if (!std::isfinite(angle))
        return 0.0f;
    if (angle > 360.0f) {
        const float rest = std::fmod(angle, 360.0f);
        return rest == 0.0f ? 360.0f : rest;
    }
    if (angle < 0.0f) {
        const float rest = std::fmod(angle, 360.0f);
        return rest < 0.0f ? rest + 360.0f : 0.0f;
    }
    return angle;
}

// The turn of one frame for a pointer offset. A sensitivity large enough to overflow the product turns
// nothing rather than filling the angles with infinities.
float MouseTurn(int offset, float sensitivity) {
    const float turn = float(offset * 0.15 * sensitivity);
    return std::isfinite(turn) ? turn : 0.0f;
}

} // namespace

Camera::Camera() {
    Red = Green = Blue = 0.0f;
    Radius = 1.0f;
}

void Camera::StepMode(int paused) {
    const float half = WanderAmplitude * 0.5f;
    switch (SettingsLink->CameraMode) {
    case 0:
        MouseLink->Moved = 0;
        if (!paused) {
            Pitch = AngleWander->Value(0, AngleWanderRate, 80.0f, -40.0f);
            Yaw = AngleWander->Value(1, AngleWanderRate, 80.0f, -40.0f);
            X = PositionWander->Value(0, PositionWanderRate, WanderAmplitude, -half) + AnchorX;
            Y = PositionWander->Value(1, PositionWanderRate, WanderAmplitude, -half) + AnchorY;
            Z = PositionWander->Value(2, PositionWanderRate, WanderAmplitude, -half) + AnchorZ;
        }
        break;
    case 1:
        // Once the mouse has moved, the pointer is held at the warp point every frame. Each offset is
        // used once: the motion event a warp should bring may come late or not at all (a warp point
        // outside a small window, a compositor that ignores warps), and an offset read again would spin
        // the view. For the same reason a turn left over from an earlier frame is not applied again.
        // Only the hand turns the view: where the window system put the pointer (under a Wayland
        // compositor, wherever the desktop's pointer lay when the window appeared or grew under it) is no
        // motion, and the warp brings that pointer back to the middle without a turn.
        PitchRate = YawRate = 0.0f;
        if (MouseLink->Moved) {
            if (Host->PointerDeviceMoved()) {
                PitchRate = MouseTurn(MouseLink->PointerY, SettingsLink->MouseSensitivity);
                Pitch = WrapDegrees(Pitch + PitchRate);
                YawRate = MouseTurn(MouseLink->PointerX, SettingsLink->MouseSensitivity);
                Yaw = WrapDegrees(Yaw + YawRate);
            }
            Host->WarpPointer(MouseLink->CentreX, MouseLink->CentreY);
            MouseLink->PointerX = MouseLink->PointerY = 0;
        }
        break;
    default: // 2 holds still, and so does any mode a damaged preferences file may hold
        MouseLink->Moved = 0;
        break;
    }
}

void Camera::ReadAxes() {
    glGetFloatv(GL_MODELVIEW_MATRIX, ViewMatrix);
    const float* m = ViewMatrix;
    for (int axis = 0; axis < 3; ++axis) {
        LeftAxis[axis] = -m[4 * axis];
        DownAxis[axis] = -m[4 * axis + 1];
        ForwardAxis[axis] = -m[4 * axis + 2];
    }
}

void Camera::ClickThrust() {
    const float a = Thrust * ClockLink->FrameTime * SettingsLink->MoveSensitivity;
    VX += a * ForwardAxis[0];
    VY += a * ForwardAxis[1];
    VZ += a * ForwardAxis[2];
    ClampLength(VX, VY, VZ, 2.0f * MaxSpeed);
}

void Camera::ArrowThrust(const KeyboardState& keys) {
    const float boost = keys.Alt ? 10.0f : 1.0f;
    const float a = Thrust * ClockLink->FrameTime * SettingsLink->MoveSensitivity * boost;
    // Signed multiples of each axis, one per arrow bit: left, right, forward, back, up, down.
    const struct {
        int Bit;
        const float* Axis;
        float Scale;
    } pushes[] = {
        {KeyboardState::ArrowLeft, LeftAxis, a},       {KeyboardState::ArrowRight, LeftAxis, -a},
        {KeyboardState::ArrowForward, ForwardAxis, a}, {KeyboardState::ArrowBack, ForwardAxis, -a},
        {KeyboardState::ArrowUp, DownAxis, -3.0f * a}, {KeyboardState::ArrowDown, DownAxis, 3.0f * a},
    };
    for (const auto& push : pushes)
        if (keys.Arrows & push.Bit) {
            VX += push.Scale * push.Axis[0];
            VY += push.Scale * push.Axis[1];
            VZ += push.Scale * push.Axis[2];
        }
    ClampLength(VX, VY, VZ, boost * MaxSpeed);
}

void Camera::ApplyDamping(float k) {
    const float f = 1.0f - k * ClockLink->FrameTime;
    VX *= f;
    VY *= f;
    VZ *= f;
}

void ApplyCamera() {
    Camera& camera = MainCamera;
    camera.StepMode(Paused);
    glRotatef(camera.Angle, 0.0f, 0.0f, 1.0f);
    glRotatef(camera.Pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(camera.Yaw, 0.0f, 1.0f, 0.0f);
    camera.ReadAxes();
    // Clicks push in every mode, arrows only under manual control; neither reaches past an open menu.
    if (Mouse.LeftButton != 0 && !MenuShown)
        camera.ClickThrust();
    if (Settings.CameraMode == 1 && Keys.Arrows != 0 && !MenuShown)
        camera.ArrowThrust(Keys);
    // The mouse turn is applied a second time here: the full turn is 0.3 degrees per pixel and unit of
    // sensitivity, half of that while paused.
    if (!Paused && Settings.CameraMode == 1)
        camera.Update(Clock.FrameTime, Settings);
    camera.ApplyDamping(Mouse.MiddleButton != 0 ? 5.0f : 0.5f); // the middle button brakes
    glTranslatef(-camera.X, -camera.Y, -camera.Z);
}
