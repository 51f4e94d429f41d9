#pragma once

#include "render/SceneObject.h"

class FrameClock;
class KeyboardState;
class MouseState;
class OscillatorBank;

// The viewer: a free-flying camera with inertia. Mode 0 (Settings.CameraMode) drifts around an anchor
// and looks around by itself, driven by two oscillator banks; mode 1 turns with the mouse and is pushed
// along its own axes by the arrow keys and the buttons; mode 2 holds still.
class Camera : public SceneObject3D {
public:
    Camera();

    // The per-frame steps, called by ApplyCamera in this order with the model-view matrix of the frame.
    void StepMode(int paused);
    void ReadAxes(); // the camera's axes in world coordinates from the current model-view matrix
    void ClickThrust();
    void ArrowThrust(const KeyboardState& keys);
    void ApplyDamping(float k); // velocity times 1 - k x frame time

    OscillatorBank* PositionWander = nullptr; // 10 channels
    OscillatorBank* AngleWander = nullptr;    // 4 channels
    float Fov = 90.0f;                        // vertical field of view, degrees
    float MaxSpeed = 10.0f;                   // limit of the arrow-key thrust
    float ForwardAxis[3] = {}, LeftAxis[3] = {}, DownAxis[3] = {};
    float PositionWanderRate = 20.0f;
    float AngleWanderRate = 5.0f;
    float WanderAmplitude = 1.0f; // peak-to-peak drift of the automatic position per axis
    float Thrust = 0.0002f;       // acceleration per second per unit of sensitivity
    float AnchorX = 0.0f, AnchorY = 0.0f, AnchorZ = 0.0f;
    const SettingsStore* SettingsLink = nullptr;
    const FrameClock* ClockLink = nullptr;
    MouseState* MouseLink = nullptr;
    float ViewMatrix[16] = {};
};

// The eight camera steps of each frame, after the perspective is set up.
void ApplyCamera();

extern Camera MainCamera;
extern OscillatorBank CameraPositionBank;
extern OscillatorBank CameraAngleBank;
