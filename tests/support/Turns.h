#pragma once

// Turns composed in a test from a documented order, to check the matrices and vertices a draw sends:
//   const support::Turn3 m = support::Turn(2, roll) * support::Turn(0, pitch);   roll about z, then pitch
//   support::Point3 p = m * support::Point3{0, 1, 0};

#include <array>
#include <cmath>

namespace support {

using Turn3 = std::array<double, 9>; // row by row
using Point3 = std::array<double, 3>;

// A turn of the given degrees about the x (0), y (1) or z (2) axis, right-handed, as glRotate turns.
inline Turn3 Turn(int axis, double degrees) {
    const double c = std::cos(degrees * M_PI / 180.0), s = std::sin(degrees * M_PI / 180.0);
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    Turn3 m{};
    m[axis * 4] = 1.0;
    m[a * 4] = c;
    m[b * 4] = c;
    m[b * 3 + a] = s;
    m[a * 3 + b] = -s;
    return m;
}

inline Turn3 operator*(const Turn3& p, const Turn3& q) {
    Turn3 r{};
    for (int i = 0; i < 9; ++i)
        for (int k = 0; k < 3; ++k)
            r[i] += p[i / 3 * 3 + k] * q[k * 3 + i % 3];
    return r;
}

inline Point3 operator*(const Turn3& m, const Point3& v) {
    return {m[0] * v[0] + m[1] * v[1] + m[2] * v[2], m[3] * v[0] + m[4] * v[1] + m[5] * v[2],
            m[6] * v[0] + m[7] * v[1] + m[8] * v[2]};
}

} // namespace support
