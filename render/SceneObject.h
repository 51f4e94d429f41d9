#pragma once

class SettingsStore;
class Texture;

// The blend factors the selectors BlendSrc and BlendDst (and the user's BlendFunc0, BlendFunc1) index.
constexpr int BlendSourceCount = 9;
constexpr int BlendDestinationCount = 8;
extern const unsigned int BlendSourceFactors[BlendSourceCount];
extern const unsigned int BlendDestinationFactors[BlendDestinationCount];

// The base of every visible or movable thing: position, velocity, size, colour, roll, texture and the
// render-state switches. Between objects OpenGL rests with alpha test, blending, depth test and texturing
// off and depth writes on; BeginRenderState switches on what the object's flags ask for and
// EndRenderState switches exactly that off again.
class SceneObject {
public:
    SceneObject();
    virtual ~SceneObject() = default;

    // Sets the bounds from a point: its centre (Placement 0) or its minimum corner (Placement 1).
    virtual void PlaceAt2D(float x, float y);
    // Moves by the velocity over dt scaled by the animation speed; the spin is added once per call.
    virtual void Update(float dt, const SettingsStore& settings);
    virtual bool Overlaps2D(const SceneObject& other, const SettingsStore& settings) const;

    void BeginRenderState(const SettingsStore& settings) const;
    void EndRenderState(const SettingsStore& settings) const;

    int Visible = 1;
    int Placement = 0;
    float X = 0.0f, Y = 0.0f;
    float VX = 0.0f, VY = 0.0f;
    float Radius = 1.0f; // half-size for the overlap tests
    float Width = 1.0f, Height = 1.0f;
    float Red = 1.0f, Green = 1.0f, Blue = 1.0f, Alpha = 1.0f;
    float Angle = 0.0f; // roll about z, degrees
    float Spin = 0.0f;  // degrees added to Angle per Update
    float MinX = 0.0f, MinY = 0.0f, MaxX = 0.0f, MaxY = 0.0f;
    const ::Texture* Texture = nullptr; // not owned; bound while drawing when texturing is on
    int AlphaTest = 1;
    int Blend = 1;
    int BlendSrc = 2; // index into BlendSourceFactors
    int BlendDst = 3; // index into BlendDestinationFactors
    int DepthTest = 1;
    int DepthWrite = 1; // 0 switches depth writes off while drawing
    float AlphaRef = 0.1f;
};

// A scene object with depth, pitch and yaw that draws itself as a textured quad, by default turned to face
// the camera.
class SceneObject3D : public SceneObject {
public:
    SceneObject3D();

    void Update(float dt, const SettingsStore& settings) override;
    virtual void PlaceAt(float x, float y, float z);
    // One quad of Width x Height half-extents in the object's plane; only the camera's Pitch and Yaw are
    // read.
    virtual void Draw(const SceneObject3D& camera, const SettingsStore& settings) const;
    virtual bool Overlaps(const SceneObject3D& other, const SettingsStore& settings) const;

    float Z = 0.0f;
    float VZ = 0.0f;
    float Depth = 1.0f;
    float Pitch = 0.0f; // degrees about x
    float Yaw = 0.0f;   // degrees about y
    float PitchRate = 0.0f;
    float YawRate = 0.0f;
    float MinZ = 0.0f, MaxZ = 0.0f;
    int FaceCamera = 1;
};
