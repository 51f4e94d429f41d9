#include "render/MathUtil.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>

float MinF(float a, float b) {
    return a < b ? a : b;
}

float MaxF(float a, float b) {
    return a <= b ? b : a;
}

float Lerp(float a, float b, float t) {
    return (1.0f - t) * a + t * b;
}

float CosineLerp(float a, float b, float t) {
    const float f = float((1.0 - std::cos(double(t) * double(3.1415927f))) * 0.5);
    return a * (1.0f - f) + b * f;
}

double RandomFloat(double range) {
    // The C library's rand reaches 2^31 - 1 here; the low 15 bits keep the result below range with the
    // resolution the animations were tuned for.
    return double(std::rand() & 0x7FFF) / 32768.0 * range;
}

void ClampLength(float& x, float& y, float& z, float limit) {
    const float length = float(std::sqrt(double(x) * x + double(y) * y + double(z) * z));
    if (length > limit) {
        const float scale = limit / length;
        x *= scale;
        y *= scale;
        z *= scale;
    }
}

void MultShadowMatrix(const float plane[4], const float light[4]) {
    const float dot = plane[0] * light[0] + plane[1] * light[1] + plane[2] * light[2] + plane[3] * light[3];
    float matrix[16];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            matrix[4 * column + row] = (row == column ? dot : 0.0f) - light[row] * plane[column];
    glMultMatrixf(matrix);
}
