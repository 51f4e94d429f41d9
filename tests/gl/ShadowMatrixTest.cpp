// The planar shadow projection as OpenGL receives it: the modelview matrix read back after
// MultShadowMatrix, applied to points off the plane.

#include "render/MathUtil.h"
#include "support/GlTestFixture.h"

#include <array>
#include <cmath>

namespace {

using Vec3 = std::array<double, 3>;
using Vec4 = std::array<double, 4>;
using Matrix = std::array<float, 16>;

Matrix CurrentModelview() {
    Matrix m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

// Applies a matrix (stored column by column, as OpenGL does) to a point and divides by w.
Vec3 Transform(const Matrix& m, const Vec3& p) {
    Vec4 out{};
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
    EXPECT_GT(std::fabs(out[3]), 1e-6);
    return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
}

class ShadowMatrixTest : public gltest::GlTest {
protected:
    Matrix ShadowMatrix(const float plane[4], const float light[4], const Matrix& before = Identity) {
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(before.data());
        MultShadowMatrix(plane, light);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return CurrentModelview();
    }

    static constexpr Matrix Identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    static constexpr float Ground[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    static constexpr float LampAbove[4] = {0.0f, 10.0f, 0.0f, 1.0f};
};

TEST_F(ShadowMatrixTest, ShadowsLieOnPlaneAndOnRayFromLight) {
    const struct {
        float Plane[4];
        float Light[4]; // w = 1 a point light, w = 0 the direction towards a light far away
    } cases[] = {
        {{0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 10.0f, 0.0f, 1.0f}},
        {{0.0f, 0.0f, 1.0f, -2.0f}, {1.0f, 2.0f, 10.0f, 1.0f}},
        {{0.3f, 1.0f, -0.2f, 0.5f}, {-3.0f, 8.0f, 2.0f, 1.0f}},
        {{0.0f, 1.0f, 0.0f, 0.0f}, {1.0f, 2.0f, 0.5f, 0.0f}},
        {{0.0f, 0.0f, -1.0f, 4.0f}, {0.5f, -0.5f, -3.0f, 0.0f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "plane (" << c.Plane[0] << ", " << c.Plane[1] << ", " << c.Plane[2]
                                        << ", " << c.Plane[3] << "), light w " << c.Light[3]);
        const Matrix m = ShadowMatrix(c.Plane, c.Light);
        const double normalLength = std::hypot(c.Plane[0], c.Plane[1], c.Plane[2]);
        for (const Vec3& p : {Vec3{1.0, 5.0, 0.0}, Vec3{-2.0, 1.5, 0.75}, Vec3{0.5, -1.0, -3.0}}) {
            SCOPED_TRACE(testing::Message() << "point (" << p[0] << ", " << p[1] << ", " << p[2] << ")");
            const Vec3 s = Transform(m, p);
            EXPECT_NEAR((c.Plane[0] * s[0] + c.Plane[1] * s[1] + c.Plane[2] * s[2] + c.Plane[3]) /
                            normalLength,
                        0.0, 1e-4);

            // The shadow, the point and the light are on one line: the way from the shadow to the point is
            // parallel to the way from the shadow towards the light.
            const Vec3 toPoint = {p[0] - s[0], p[1] - s[1], p[2] - s[2]};
            Vec3 toLight;
            for (int axis = 0; axis < 3; ++axis)
                toLight[axis] = c.Light[axis] - c.Light[3] * s[axis];
            const Vec3 cross = {toPoint[1] * toLight[2] - toPoint[2] * toLight[1],
                                toPoint[2] * toLight[0] - toPoint[0] * toLight[2],
                                toPoint[0] * toLight[1] - toPoint[1] * toLight[0]};
            const double sine =
                std::hypot(cross[0], cross[1], cross[2]) / (std::hypot(toPoint[0], toPoint[1], toPoint[2]) *
                                                            std::hypot(toLight[0], toLight[1], toLight[2]));
            EXPECT_NEAR(sine, 0.0, 1e-5);
        }
    }
}

TEST_F(ShadowMatrixTest, MultipliesOntoCurrentMatrix) {
    const Matrix shadowOnly = ShadowMatrix(Ground, LampAbove);
    const Matrix placement = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 3, -1, 2, 1}; // scale by 2, then move
    const Matrix combined = ShadowMatrix(Ground, LampAbove, placement);
    for (const Vec3& p : {Vec3{1.0, 5.0, 0.0}, Vec3{-2.0, 3.0, 4.0}}) {
        const Vec3 expected = Transform(placement, Transform(shadowOnly, p));
        const Vec3 actual = Transform(combined, p);
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR(actual[axis], expected[axis], 1e-4) << "axis " << axis;
    }
}

} // namespace
