#pragma once

// A sphere of stacks - 1 bands from the bottom pole up, each one triangle strip of 2 (slices + 1)
// vertices with normals and texture coordinates, in the current matrix. Nothing is drawn for slices or
// stacks outside 3..100.
void DrawSphere(double radius, int slices, int stacks, double su, double sv, double ou, double ov);

// glBlendFunc from the two selectors of the blend-factor tables (source 0..8, destination 0..7).
void SetBlendFactors(int source, int destination);
