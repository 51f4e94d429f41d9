#pragma once

#include "render/SceneObject.h"

// A grid of vertices with normals, drawn as triangle strips: the logo's floor. Width is its extent along x
// and Height its extent along z.
class HeightField : public SceneObject3D {
public:
    static constexpr int MaxVertices = 100; // per direction drawn; the grid holds one more

    struct Vertex {
        float Position[3];
        float Normal[3];
    };

    HeightField();

    // Lays the grid out flat at the object's Y, normals up.
    void MakeFlat();
    // Draws Columns x Rows vertices in the current matrix with the object's render state.
    void Draw(const SettingsStore& settings) const;

    int Columns = 32; // kept within 2..MaxVertices when used
    int Rows = 32;
    float TextureRepeat = 1.0f;
    Vertex Grid[MaxVertices + 1][MaxVertices + 1] = {}; // [column][row]
    float TextureOffsetU = 0.0f, TextureOffsetV = 0.0f;

private:
    // The grid is never drawn as the inherited quad; naming it here keeps it out of reach on a HeightField
    // without hiding it.
    using SceneObject3D::Draw;
};
