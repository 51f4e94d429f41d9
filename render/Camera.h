#pragma once

#include "render/SceneObject.h"

class OscillatorBank;

// The viewer. The projection reads its field of view; while the camera wanders by itself, its two banks
// drive the drift of its position and the turning of its view.
class Camera : public SceneObject3D {
public:
    OscillatorBank* PositionWander = nullptr; // 10 channels, advanced by the frame loop
    OscillatorBank* AngleWander = nullptr;    // 4 channels, advanced by the frame loop
    float Fov = 90.0f;                        // vertical field of view, degrees
};

extern Camera MainCamera;
extern OscillatorBank CameraPositionBank;
extern OscillatorBank CameraAngleBank;
