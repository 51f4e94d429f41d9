#pragma once

// The field of coloured point stars around the scene, generated once into a display list and drawn in
// layers of growing point size.
class StarUniverse {
public:
    virtual ~StarUniverse() = default;

    // Replaces the display list with one of count random stars.
    void Build(int count);
    // Draws the stars with the current matrix.
    void Draw() const;
    // Deletes the display list.
    void Release();

    int List = -1; // display-list name; -1 when there is none
    int Blend = 0;
    int DepthTest = 0;
    int DepthWrite = 0;
    int Layers = 1; // 1..3
    int Shape = 1;  // 1 cube shell, 2 upper half of a spherical shell, other values a spherical shell
    float OuterRadius = 1.0f; // half-size of the star volume
    float InnerRadius = 0.0f; // size of the empty core
    float ColourSpread = 0.7f;
    float ColourBase = 0.3f;
};

extern StarUniverse Universe;
