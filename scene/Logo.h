#pragma once

#include "render/HeightField.h"

class FrameClock;

// The opening scene: an emblem of three metal bars swinging over a tiled, lightmapped floor on a
// seven-second loop, with its shadow from the moving light and its reflection in the floor.
class LogoScene {
public:
    static constexpr float FloorY = -1.5f;

    LogoScene();
    virtual ~LogoScene() = default;

    // Advances the animation and draws floor, shadow, emblem and reflection with the camera's view. Leaves
    // blending, texturing and depth testing off.
    void Draw();

    float Speed = 1.0f;
    float Size = 0.75f; // half-length of the bars; the opening sets it from Settings.ObjectSize
    int Finished = 0;   // the user has dismissed the logo
    const ::Texture* FloorImage = nullptr;
    const ::Texture* MetalImage = nullptr;
    const ::Texture* LightmapImage = nullptr;
    const SettingsStore* SettingsLink = nullptr;
    const FrameClock* ClockLink = nullptr;
    HeightField Floor;
    float LightPosition[4] = {-2.0f, 2.0f, 1.0f, 0.0f}; // w 0: the shadow is cast along a direction
};

// One row of the emblem's animation: position, yaw about y, roll about z (degrees) and colour.
struct LogoKeyframe {
    float X, Y, Z, Yaw, Roll, Red, Green, Blue;
};
constexpr int LogoKeyframeCount = 7;
extern const LogoKeyframe LogoKeyframes[LogoKeyframeCount];

// The animation clock in keyframe units, always within [0, 7).
extern float LogoTime;

// The emblem's state at a time of the loop: the keyframes eased into each other, the drawing depth
// DrawZ = Z + 1 and the opacity that fades the emblem with its distance.
struct LogoPose {
    float X, Y, Z, Yaw, Roll, Red, Green, Blue, DrawZ, Alpha;
};
// Times outside [0, 7) are taken round the loop; a non-finite time counts as 0.
LogoPose LogoPoseAt(float time);

// The emblem: two horizontal bars 1.4 s apart joined by a diagonal one.
void DrawLogoShape(float size);
// A bar 2b long along x with a square cross-section of 0.4b: four faces, no end caps.
void DrawLogoBar(float halfLength);
void DrawLogoQuad(float halfWidth, float halfHeight, float z);

extern LogoScene Logo;
