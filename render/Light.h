#pragma once

#include "render/SceneObject.h"

class OscillatorBank;

// Reflectances the user tunes; the light sends them with itself.
class Material {
public:
    virtual ~Material() = default;

    float Ambient = 0.25f;
    float Diffuse = 0.5f;
    float Specular = 0.75f;  // of the light
    float Reflective = 1.0f; // specular reflectance of the material
    float Shininess = 25.0f; // 0..128
};

// The one moving light of the scene: a spot light aimed at the origin (or a directional light), with the
// material terms it carries. It is never drawn; its flare sprite is.
class Light : public SceneObject3D, public Material {
public:
    Light();

    void SetPosition(float x, float y, float z);
    // Sends the light and the material to OpenGL and enables the light.
    void Apply() const;

    int LightIndex = 0;    // GL_LIGHT0 + LightIndex
    int Spot = 1;          // 0 directional; otherwise positional, aimed at the origin
    float Cutoff = 180.0f; // degrees; OpenGL takes 0..90 or 180, other values leave the last valid one
    float Exponent = 1.0f;
    float Intensity = 1.0f;
    float OrbitRate = 10.0f; // frequency multiplier of the orbit
};

// Moves the light (and its flare) along its orbit and, while spot lights are on, applies the tuned values.
// Called once per frame after the camera transform, so the position is in world coordinates.
void MoveLight();

extern Light MainLight;
extern OscillatorBank LightBank; // 4 channels; channel 1 drives the orbit
extern SceneObject3D LightFlare; // the glow sprite drawn at the light
