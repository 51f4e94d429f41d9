// The planar shadow projection as OpenGL receives it: the modelview matrix read back after
// MultShadowMatrix, applied to points on and off the plane.

#include "render/MathUtil.h"
#include "support/OffscreenContext.h"

#include <GL/gl.h>
#include <array>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using Vec4 = std::array<double, 4>;
using Matrix = std::array<float, 16>;

Matrix CurrentModelview() {
    Matrix m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

// OpenGL matrices are stored column by column.
Vec4 Transform(const Matrix& m, const Vec4& p) {
    Vec4 out{};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            out[row] += double(m[4 * column + row]) * p[column];
    return out;
}

double PlaneValue(const float plane[4], const Vec4& p) {
    return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3] * p[3];
}

std::array<double, 3> Cartesian(const Vec4& p) {
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3]};
}

double Length(const std::array<double, 3>& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// Sine of the angle between two directions: 0 when they are parallel or opposite.
double SineBetween(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    const std::array<double, 3> cross = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                                         a[0] * b[1] - a[1] * b[0]};
    return Length(cross) / (Length(a) * Length(b));
}

class ShadowMatrixTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Context.Ok()) << Context.Error();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    Matrix ShadowMatrix(const float plane[4], const float light[4]) {
        glLoadIdentity();
        MultShadowMatrix(plane, light);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return CurrentModelview();
    }

    OffscreenContext Context{16, 16};
};

TEST_F(ShadowMatrixTest, PointLightAboveGroundCastsPointOntoGround) {
    const float ground[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    const float light[4] = {0.0f, 10.0f, 0.0f, 1.0f};
    const Vec4 shadow = Transform(ShadowMatrix(ground, light), {1.0, 5.0, 0.0, 1.0});
    EXPECT_NEAR(shadow[1], 0.0, 1e-6);
    EXPECT_NEAR(shadow[0] / shadow[3], 2.0, 1e-6);
    EXPECT_NEAR(shadow[2] / shadow[3], 0.0, 1e-6);
}

TEST_F(ShadowMatrixTest, ShadowsLieOnPlaneAlongLightRays) {
    const struct {
        float Plane[4];
        float Light[4]; // w = 1 a point light, w = 0 a direction towards the light
    } cases[] = {
        {{0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 10.0f, 0.0f, 1.0f}},
        {{0.0f, 0.0f, 1.0f, -2.0f}, {1.0f, 2.0f, 10.0f, 1.0f}},
        {{2.0f, 2.0f, 2.0f, -6.0f}, {5.0f, 6.0f, 7.0f, 1.0f}},
        {{0.3f, 1.0f, -0.2f, 0.5f}, {-3.0f, 8.0f, 2.0f, 1.0f}},
        {{0.0f, 1.0f, 0.0f, 0.0f}, {1.0f, 2.0f, 0.5f, 0.0f}},
        {{0.0f, 0.0f, -1.0f, 4.0f}, {0.5f, -0.5f, -3.0f, 0.0f}},
    };
    const Vec4 points[] = {
        {1.0, 5.0, 0.0, 1.0}, {-2.0, 1.5, 0.75, 1.0}, {0.5, -1.0, -3.0, 1.0}, {3.0, 3.0, 1.0, 1.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "plane (" << c.Plane[0] << ", " << c.Plane[1] << ", " << c.Plane[2]
                                        << ", " << c.Plane[3] << "), light (" << c.Light[0] << ", "
                                        << c.Light[1] << ", " << c.Light[2] << ", " << c.Light[3] << ")");
        const Matrix m = ShadowMatrix(c.Plane, c.Light);
        const std::array<double, 3> lightAt = {c.Light[0], c.Light[1], c.Light[2]};
        const double planeScale = Length({c.Plane[0], c.Plane[1], c.Plane[2]});

        for (const Vec4& p : points) {
            SCOPED_TRACE(testing::Message() << "point (" << p[0] << ", " << p[1] << ", " << p[2] << ")");
            if (std::fabs(PlaneValue(c.Plane, p)) < 1e-3)
                continue; // on the plane: covered below
            const Vec4 shadow = Transform(m, p);
            ASSERT_GT(std::fabs(shadow[3]), 1e-6);
            const auto onPlane = Cartesian(shadow);
            EXPECT_NEAR(PlaneValue(c.Plane, {onPlane[0], onPlane[1], onPlane[2], 1.0}) / planeScale, 0.0,
                        1e-4);

            // The shadow, the point and the light are on one line.
            const std::array<double, 3> toPoint = {p[0] - onPlane[0], p[1] - onPlane[1], p[2] - onPlane[2]};
            if (c.Light[3] == 0.0f) {
                EXPECT_NEAR(SineBetween(toPoint, lightAt), 0.0, 1e-5);
            } else {
                const std::array<double, 3> toLight = {lightAt[0] - onPlane[0], lightAt[1] - onPlane[1],
                                                       lightAt[2] - onPlane[2]};
                EXPECT_NEAR(SineBetween(toPoint, toLight), 0.0, 1e-5);
            }
        }

        // Points already on the plane stay where they are.
        const double planeNormal[3] = {c.Plane[0] / planeScale, c.Plane[1] / planeScale,
                                       c.Plane[2] / planeScale};
        const double distance = -c.Plane[3] / planeScale;
        for (const Vec4& p : points) {
            const Vec4 onPlaneInput = {p[0] - (PlaneValue(c.Plane, p) / planeScale) * planeNormal[0],
                                       p[1] - (PlaneValue(c.Plane, p) / planeScale) * planeNormal[1],
                                       p[2] - (PlaneValue(c.Plane, p) / planeScale) * planeNormal[2], 1.0};
            ASSERT_NEAR(planeNormal[0] * onPlaneInput[0] + planeNormal[1] * onPlaneInput[1] +
                            planeNormal[2] * onPlaneInput[2],
                        distance, 1e-9);
            const auto fixed = Cartesian(Transform(m, onPlaneInput));
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_NEAR(fixed[axis], onPlaneInput[axis], 1e-4) << "axis " << axis;
        }
    }
}

TEST_F(ShadowMatrixTest, MultipliesOntoCurrentMatrix) {
    const float ground[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    const float light[4] = {0.0f, 10.0f, 0.0f, 1.0f};
    const Matrix shadowOnly = ShadowMatrix(ground, light);

    glLoadIdentity();
    glTranslatef(3.0f, -1.0f, 2.0f);
    glScalef(2.0f, 2.0f, 2.0f);
    const Matrix placement = CurrentModelview();
    MultShadowMatrix(ground, light);
    const Matrix combined = CurrentModelview();

    for (const Vec4& p : {Vec4{1.0, 5.0, 0.0, 1.0}, Vec4{-2.0, 3.0, 4.0, 1.0}}) {
        const auto expected = Cartesian(Transform(placement, Transform(shadowOnly, p)));
        const auto actual = Cartesian(Transform(combined, p));
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR(actual[axis], expected[axis], 1e-4) << "axis " << axis;
    }
}

} // namespace
