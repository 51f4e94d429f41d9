#pragma once

#include "render/SceneObject.h"
#include "scene/OscillatorBank.h"

class FrameClock;

// One plasma arc: a rippling strip from the electrode to the glass ending in a glow disc, turned by three
// drifting angles in the globe's frame.
class PlasmaArc {
public:
    PlasmaArc();
    virtual ~PlasmaArc() = default;

    // Advances and draws the arc in the globe's current frame; now and then it flickers out for a frame.
    void Draw(float radius, float red, float green, float blue, float halfWidth);

    float AngleX, AngleY, AngleZ; // degrees
    float RateX, RateY, RateZ;    // degrees per second of scene time
};

// A glass globe: an electrode sphere, forty arcs and the glass, drifting and turning by its own
// oscillators.
class PlasmaGlobe : public SceneObject3D {
public:
    static constexpr int MaxArcs = 40;

    PlasmaGlobe();

    // Advances and draws the globe. The projection, the view and the arcs' blend factors are set, and both
    // images have been bound in full once (GlowImage, then ArcImage): the arcs switch between them by name.
    void Draw();

    int ArcCount = MaxArcs;
    float ArcHalfWidth = 0.005f; // in units of the globe radius
    OscillatorBank Bank;         // colour on channels 1-3, centre on 4-6
    PlasmaArc Arcs[MaxArcs];

    // Shared by all globes and arcs; set once at start-up.
    static const SettingsStore* SettingsLink;
    static const FrameClock* ClockLink;
    static const OscillatorBank* WaveBank;
    static const ::Texture* ArcImage;
    static const ::Texture* GlowImage;

private:
    using SceneObject3D::Draw; // a globe draws itself whole, never as a quad
};

// The globe pass of every frame: the flare, fog around the globes, the arc blend factors, then GlobeCount
// globes.
void DrawGlobeScene();

extern PlasmaGlobe Globe1;
extern PlasmaGlobe Globe2;
extern PlasmaGlobe Globe3;
