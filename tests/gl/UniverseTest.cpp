// The star field as OpenGL receives it, captured in feedback mode and mapped back to world coordinates:
// where the stars lie, their colours, the turned layers, empty fields, the state left behind.

#include "scene/Universe.h"
#include "support/GlTestFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

struct Star {
    double X, Y, Z, R, G, B;
};

// The cube -6..6 on a 480-pixel square viewport: 40 pixels to the unit.
class UniverseTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glViewport(0, 0, 480, 480);
        glMatrixMode(GL_PROJECTION);
        glOrtho(-6.0, 6.0, -6.0, 6.0, -6.0, 6.0);
        glMatrixMode(GL_MODELVIEW);
        Stars.OuterRadius = 5.0f; // as the program sets it up
        Stars.InnerRadius = 1.0f;
        std::srand(3);
    }
    void TearDown() override {
        Stars.Release();
        GlTest::TearDown();
    }

    std::vector<Star> Capture() {
        const std::vector<GLfloat> buffer = gltest::Feedback(GL_3D_COLOR, 1 << 15, [this] { Stars.Draw(); });
        std::vector<Star> stars;
        for (const GLfloat* f = buffer.data(); f < buffer.data() + buffer.size(); f += 8) {
            EXPECT_EQ(f[0], GLfloat(GL_POINT_TOKEN));
            stars.push_back({f[1] / 40.0 - 6.0, f[2] / 40.0 - 6.0, 6.0 - 12.0 * f[3], f[4], f[5], f[6]});
        }
        return stars;
    }

    static int LitPixels() {
        std::vector<unsigned char> rgba(gltest::WindowWidth * gltest::WindowHeight * 4);
        glReadPixels(0, 0, gltest::WindowWidth, gltest::WindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        int lit = 0;
        for (size_t at = 0; at < rgba.size(); at += 4)
            lit += rgba[at] || rgba[at + 1] || rgba[at + 2];
        return lit;
    }

    StarUniverse Stars;
};

TEST_F(UniverseTest, StarsFillTheirShapeOutsideTheCoreMostlyNearWhite) {
    for (int shape : {1, 2, 3, 9}) {
        SCOPED_TRACE(testing::Message() << "shape " << shape);
        Stars.Shape = shape;
        Stars.Build(1000);
        const std::vector<Star> stars = Capture();
        ASSERT_EQ(stars.size(), 1000u);
        double reach = 0.0, lowest = 9.0, dimmest = 9.0;
        int coloured = 0;
        for (const Star& s : stars) {
            const double size = shape == 1 ? std::max({std::fabs(s.X), std::fabs(s.Y), std::fabs(s.Z)})
                                           : std::sqrt(s.X * s.X + s.Y * s.Y + s.Z * s.Z);
            EXPECT_GE(size, shape == 1 ? 1.01 - 1e-3 : 1.0 - 1e-3);
            EXPECT_LE(size, 5.0 + 1e-3);
            reach = std::max(reach, size);
            lowest = std::min(lowest, s.Y);
            const double least = std::min({s.R, s.G, s.B});
            EXPECT_GE(least, 0.3 - 1e-6);
            EXPECT_LT(std::max({s.R, s.G, s.B}), 1.0);
            coloured += least < 0.7;
            dimmest = std::min(dimmest, least);
        }
        EXPECT_GT(reach, 4.8);
        EXPECT_EQ(lowest > -1e-3, shape == 2) << "only the half shell stays above y = 0: " << lowest;
        // One in ten is tinted, and most of those have a component below 0.7.
        EXPECT_GT(coloured, 50);
        EXPECT_LT(coloured, 150);
        EXPECT_LT(dimmest, 0.35);
    }
}

TEST_F(UniverseTest, EachLayerIsTheFirstTurnedAQuarterFurtherAndOnePixelWider) {
    const struct {
        int Layers, Drawn, Pixels;
    } cases[] = {{-1, 1, 1}, {1, 1, 1}, {2, 2, 1 + 4}, {3, 3, 1 + 4 + 9}, {8, 3, 1 + 4 + 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Layers << " layers");
        Stars.Layers = c.Layers;
        Stars.Build(1000);
        const std::vector<Star> stars = Capture();
        ASSERT_EQ(stars.size(), size_t(1000 * c.Drawn));
        for (size_t i = 1000; i < stars.size(); ++i) {
            const Star &turned = stars[i], &before = stars[i - 1000]; // a quarter about y: (x, z) to (z, -x)
            EXPECT_NEAR(turned.X, before.Z, 1e-3);
            EXPECT_NEAR(turned.Y, before.Y, 1e-3);
            EXPECT_NEAR(turned.Z, -before.X, 1e-3);
        }
        std::srand(3);
        Stars.Build(1); // one star whose copies, at x, z and -x on the screen, lie well apart
        const Star one = Capture()[0];
        ASSERT_GT(std::min({std::fabs(one.X - one.Z), std::fabs(one.X + one.Z), std::fabs(one.X)}), 0.2);
        glClear(GL_COLOR_BUFFER_BIT);
        Stars.Draw();
        EXPECT_EQ(LitPixels(), c.Pixels);
    }
}

TEST_F(UniverseTest, EmptyFieldsAndVolumesDrawNothingAndReleaseDeletesTheList) {
    const struct {
        int Count, Shape;
        float Outer, Inner;
    } cases[] = {{0, 1, 5, 1},    {1000, 1, 1, 0.995f}, {1000, 1, 1, 2},     {1000, 2, 1, 2},
                 {1000, 3, 1, 2}, {1000, 2, -1, 0},     {1000, 3, NAN, 1.0f}};
    EXPECT_TRUE(Capture().empty()) << "no list yet";
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.Count << " stars, shape " << c.Shape << ", " << c.Outer << " " << c.Inner);
        Stars.Shape = c.Shape;
        Stars.OuterRadius = c.Outer;
        Stars.InnerRadius = c.Inner;
        const GLuint previous = GLuint(Stars.List);
        Stars.Build(c.Count); // returns at all: the rejection draws give up on an empty volume
        EXPECT_TRUE(Stars.List == int(previous) || !glIsList(previous)) << "a name may come back, a list not";
        EXPECT_TRUE(glIsList(GLuint(Stars.List)));
        EXPECT_TRUE(Capture().empty());
    }
    const GLuint last = GLuint(Stars.List);
    Stars.Release();
    EXPECT_FALSE(glIsList(last));
    EXPECT_EQ(Stars.List, -1);
}

TEST_F(UniverseTest, DrawRestoresExactlyWhatItSwitchedOn) {
    Stars.Layers = 3;
    Stars.Build(1000);
    std::vector<GLfloat> depth(gltest::WindowWidth * gltest::WindowHeight);
    for (int flags = 0; flags < 8; ++flags) {
        Stars.Blend = flags & 1;
        Stars.DepthTest = (flags >> 1) & 1;
        Stars.DepthWrite = (flags >> 2) & 1;
        SCOPED_TRACE(testing::Message() << "blend, depth test, depth write " << Stars.Blend << Stars.DepthTest
                                        << Stars.DepthWrite);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Stars.Draw();
        gltest::ExpectRestingState();
        GLfloat pointSize = 0, matrix[16];
        glGetFloatv(GL_POINT_SIZE, &pointSize);
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        EXPECT_EQ(pointSize, 1.0f);
        EXPECT_EQ(matrix[0], 1.0f) << "the turns are undone";
        EXPECT_GT(LitPixels(), 2000);
        glReadPixels(0, 0, gltest::WindowWidth, gltest::WindowHeight, GL_DEPTH_COMPONENT, GL_FLOAT,
                     depth.data());
        const bool written = std::any_of(depth.begin(), depth.end(), [](GLfloat d) { return d < 1.0f; });
        EXPECT_EQ(written, Stars.DepthTest && Stars.DepthWrite);
    }
}

} // namespace
