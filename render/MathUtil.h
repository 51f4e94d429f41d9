#pragma once

// Small shared helpers on single-precision floats. Three-component quantities are passed as three floats.

float MinF(float a, float b); // a if a < b, else b
float MaxF(float a, float b); // b if a <= b, else a
float Lerp(float a, float b, float t);
float CosineLerp(float a, float b, float t); // zero slope at both ends

// Uniform in [0, range) from the standard generator, in steps of range / 32768.
double RandomFloat(double range);

// Scales (x, y, z) down to the given length if it is longer; shorter vectors are left alone.
void ClampLength(float& x, float& y, float& z, float limit);

// Multiplies the current GL matrix by the projection that flattens geometry onto the plane
// a x + b y + c z + d = 0 as seen from the light (x, y, z, w).
void MultShadowMatrix(const float plane[4], const float light[4]);
