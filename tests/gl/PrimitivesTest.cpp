// The sphere and the height field as OpenGL receives them, captured in feedback mode and mapped back to
// object coordinates, and the blend functions the factor selectors set.

#include "scene/Primitives.h"
#include "render/HeightField.h"
#include "support/GlTestFixture.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

struct Vertex {
    double X, Y, Z, U, V;
};

// A square viewport over the cube -2..2, shifted so that the origin falls on window (0, 0), where feedback
// coordinates are exact.
constexpr int ViewSize = 480;

class PrimitivesTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glViewport(-ViewSize / 2, -ViewSize / 2, ViewSize, ViewSize);
        glMatrixMode(GL_PROJECTION);
        glOrtho(-2.0, 2.0, -2.0, 2.0, -2.0, 2.0);
        glMatrixMode(GL_MODELVIEW);
    }

    // The triangles draw sends down, three vertices each; anything but triangles fails the test.
    template <typename Draw> std::vector<Vertex> Triangles(Draw draw) {
        const std::vector<GLfloat> buffer = gltest::Feedback(GL_3D_COLOR_TEXTURE, 1 << 21, draw);
        std::vector<Vertex> vertices;
        // Token, 3, then x y z, RGBA, s t r q per vertex.
        for (size_t at = 0; at < buffer.size(); at += 35) {
            if (at + 35 > buffer.size() || buffer[at] != GL_POLYGON_TOKEN || buffer[at + 1] != 3.0f) {
                ADD_FAILURE() << "not a triangle: token " << buffer[at];
                break;
            }
            for (const GLfloat* f = buffer.data() + at + 2; f < buffer.data() + at + 35; f += 11)
                vertices.push_back(
                    {f[0] * 4.0 / ViewSize, f[1] * 4.0 / ViewSize, 2.0 - 4.0 * f[2], f[7], f[8]});
        }
        return vertices;
    }
};

TEST_F(PrimitivesTest, SphereOutsideThreeToHundredDrawsNothing) {
    for (const std::pair<int, int>& range :
         {std::pair{2, 10}, {10, 2}, {101, 10}, {10, 101}, {0, -5}, {3, 1000}}) {
        const int slices = range.first, stacks = range.second;
        SCOPED_TRACE(testing::Message() << slices << " slices, " << stacks << " stacks");
        // Inside an open glBegin a glBegin of the sphere would raise an error, and any vertex be a point.
        const std::vector<Vertex> vertices = Triangles([&] {
            glBegin(GL_POINTS);
            DrawSphere(1.0, slices, stacks, 1.0, 1.0, 0.0, 0.0);
            glEnd();
        });
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_TRUE(vertices.empty());
    }
}

TEST_F(PrimitivesTest, SphereBandsAreOutwardStripsOnTheRadius) {
    const struct {
        int Slices, Stacks;
        double Radius, Su, Sv, Ou, Ov;
    } cases[] = {{3, 3, 1.5, 1, 1, 0, 0}, {8, 5, 1.0, 2, 0.5, 0.25, -1}, {100, 100, 1.9, 1, 3, 0, 0.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Slices << " slices, " << c.Stacks << " stacks");
        const std::vector<Vertex> vertices =
            Triangles([&] { DrawSphere(c.Radius, c.Slices, c.Stacks, c.Su, c.Sv, c.Ou, c.Ov); });
        // stacks - 1 strips of 2 (slices + 1) vertices make 2 slices triangles each.
        EXPECT_EQ(vertices.size(), size_t(3 * (c.Stacks - 1) * 2 * c.Slices));
        double minY = 9, maxY = -9, maxU = -9;
        for (const Vertex& v : vertices) {
            EXPECT_NEAR(std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z), c.Radius, 1e-4);
            // Ring k of the stacks rings from the bottom pole has v = ov + sv k / stacks.
            const double ring = std::round(std::acos(std::clamp(-v.Y / c.Radius, -1.0, 1.0)) *
                                           (c.Stacks - 1) / 3.14159265358979);
            EXPECT_NEAR(v.V, c.Ov + c.Sv * ring / c.Stacks, 1e-5);
            minY = std::min(minY, v.Y);
            maxY = std::max(maxY, v.Y);
            maxU = std::max(maxU, v.U);
            if (v.U == float(c.Ou + c.Su)) { // the seam column closes exactly on longitude 0
                EXPECT_EQ(v.X, 0.0);
            }
        }
        EXPECT_NEAR(minY, -c.Radius, 1e-4);
        EXPECT_NEAR(maxY, c.Radius, 1e-4);
        EXPECT_NEAR(maxU, c.Ou + c.Su, 1e-6);
        for (size_t t = 0; t < vertices.size(); t += 3) { // counter-clockwise seen from outside
            const Vertex &a = vertices[t], &b = vertices[t + 1], &d = vertices[t + 2];
            const double e[2][3] = {{b.X - a.X, b.Y - a.Y, b.Z - a.Z}, {d.X - a.X, d.Y - a.Y, d.Z - a.Z}};
            EXPECT_GE((e[0][1] * e[1][2] - e[0][2] * e[1][1]) * (a.X + b.X + d.X) +
                          (e[0][2] * e[1][0] - e[0][0] * e[1][2]) * (a.Y + b.Y + d.Y) +
                          (e[0][0] * e[1][1] - e[0][1] * e[1][0]) * (a.Z + b.Z + d.Z),
                      -1e-4)
                << "triangle " << t / 3;
        }
    }
}

TEST_F(PrimitivesTest, HeightFieldDrawsTheClampedGridWithItsTextureSpread) {
    const struct {
        int Columns, Rows;
        float Repeat, OffsetU, OffsetV;
        size_t Triangles;
    } cases[] = {{2, 2, 1, 0, 0, 2},
                 {3, 4, 2, 0.5f, 0.25f, 12},
                 {500, 500, 1, 0, 0, 2 * 99 * 99},
                 {0, -7, 1, 0, 0, 2}};
    SettingsStore prefs;
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f); // the field's z runs down the screen
    static HeightField field;           // too big for the stack
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Columns << " x " << c.Rows);
        field.Width = 2.0f;
        field.Height = 2.4f;
        field.Y = 0.25f;
        field.Columns = c.Columns;
        field.Rows = c.Rows;
        field.TextureRepeat = c.Repeat;
        field.TextureOffsetU = c.OffsetU;
        field.TextureOffsetV = c.OffsetV;
        field.MakeFlat();
        std::vector<Vertex> vertices = Triangles([&] { field.Draw(prefs); });
        EXPECT_EQ(vertices.size(), 3 * c.Triangles);
        double minX = 9, maxX = -9, minZ = 9, maxZ = -9;
        for (Vertex& v : vertices) {
            v = {v.X, v.Z, -v.Y, v.U, v.V}; // back from the screen's axes to the field's
            minX = std::min(minX, v.X);
            maxX = std::max(maxX, v.X);
            minZ = std::min(minZ, v.Z);
            maxZ = std::max(maxZ, v.Z);
        }
        EXPECT_NEAR(maxX - minX, 2.0, 1e-4);
        EXPECT_NEAR(maxZ - minZ, 2.4, 1e-4);
        for (const Vertex& v : vertices) { // from the offset to offset + repeat, in step with the grid
            EXPECT_NEAR(v.Y, 0.25, 1e-5);
            EXPECT_NEAR(v.U, c.OffsetU + c.Repeat * (v.X - minX) / 2.0, 1e-4);
            EXPECT_NEAR(v.V, c.OffsetV + c.Repeat * (v.Z - minZ) / 2.4, 1e-4);
        }
        gltest::ExpectRestingState();
    }
}

TEST_F(PrimitivesTest, SelectorsPickTablePairsAndStrayOnesTheNearestEnd) {
    const struct {
        int Source, Destination;
        GLint Factors[2];
    } cases[] = {{2, 1, {GL_SRC_ALPHA, GL_ONE}},
                 {8, 3, {GL_SRC_ALPHA_SATURATE, GL_ONE_MINUS_SRC_ALPHA}},
                 {0, 6, {GL_ZERO, GL_SRC_COLOR}},
                 {6, 7, {GL_DST_COLOR, GL_ONE_MINUS_SRC_COLOR}},
                 {99, -4, {GL_SRC_ALPHA_SATURATE, GL_ZERO}},
                 {-1, 8, {GL_ZERO, GL_ONE_MINUS_SRC_COLOR}}};
    SettingsStore prefs;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "selectors " << c.Source << ", " << c.Destination);
        SceneObject object; // an object's BlendSrc and BlendDst index the same tables
        object.BlendSrc = c.Source;
        object.BlendDst = c.Destination;
        for (int viaObject : {0, 1}) {
            if (viaObject)
                object.BeginRenderState(prefs);
            else
                SetBlendFactors(c.Source, c.Destination);
            GLint factors[2] = {};
            glGetIntegerv(GL_BLEND_SRC, &factors[0]);
            glGetIntegerv(GL_BLEND_DST, &factors[1]);
            EXPECT_EQ(factors[0], c.Factors[0]) << "via object " << viaObject;
            EXPECT_EQ(factors[1], c.Factors[1]) << "via object " << viaObject;
        }
        object.EndRenderState(prefs);
        gltest::ExpectRestingState();
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
