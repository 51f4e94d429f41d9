// The star field as OpenGL receives it, in world coordinates: where the stars lie and their colours, the
// turned and widened layers, and the state its drawing leaves.

#include "scene/Universe.h"
#include "support/GlTestFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using namespace support;
constexpr int Half = 6;

class UniverseTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        ObjectView(Half);
        Stars.OuterRadius = 5.0f, Stars.InnerRadius = 1.0f; // as the program sets it up
        std::srand(3);
    }
    void TearDown() override {
        Stars.Release();
        GlTest::TearDown();
    }
    StarUniverse Stars;
};

// Shape 1 fills the cube of half-size 5 outside the cube of 1.01, shape 2 the upper half and any other
// shape all of the shell between radius 1 and 5. One star in ten is tinted, each component 0.3 to 1;
// the others near white, 0.7 to 1. Layer k is the first turned (k - 1) quarters about the vertical.
TEST_F(UniverseTest, StarsFillTheirShapeAndEachLayerIsTheFirstTurnedAQuarter) {
    for (int shape : {1, 2, 3}) {
        SCOPED_TRACE(shape);
        Stars.Shape = shape, Stars.Layers = shape;
        Stars.Build(1000);
        const std::vector<FeedbackVertex> stars = CaptureFeedback([this] { Stars.Draw(); }).Vertices();
        ASSERT_EQ(stars.size(), std::size_t(1000 * shape));
        double low[3] = {9, 9, 9}, high[3] = {-9, -9, -9};
        int tinted = 0;
        for (std::size_t i = 0; i < stars.size(); ++i) {
            const FeedbackVertex& s = stars[i];
            const double x = s.X, y = s.Y, z = ObjectZ(s, Half);
            const double size =
                shape == 1 ? std::max({std::fabs(x), std::fabs(y), std::fabs(z)}) : std::hypot(x, y, z);
            EXPECT_TRUE(size >= (shape == 1 ? 1.01 : 1.0) - 1e-4 && size <= 5.0 + 1e-4) << size;
            for (int axis = 0; axis < 3; ++axis) {
                const double at = axis == 0 ? x : axis == 1 ? y : z;
                low[axis] = std::min(low[axis], at), high[axis] = std::max(high[axis], at);
            }
            tinted += std::min({s.R, s.G, s.B}) < 0.7f;
            EXPECT_TRUE(std::min({s.R, s.G, s.B}) >= 0.3f && std::max({s.R, s.G, s.B}) < 1.0f);
            if (i >= 1000) { // a quarter turn about y: (x, z) becomes (z, -x)
                const FeedbackVertex& before = stars[i - 1000];
                EXPECT_TRUE(std::fabs(x - ObjectZ(before, Half)) + std::fabs(y - before.Y) +
                                std::fabs(z + before.X) <
                            1e-4);
            }
        }
        for (int axis = 0; axis < 3; ++axis) // out to 5 both ways, but below the middle for the half shell
            EXPECT_TRUE(high[axis] > 4.5 && (shape == 2 && axis == 1 ? low[1] > -1e-4 : low[axis] < -4.5))
                << axis;
        EXPECT_TRUE(tinted > 40 * shape && tinted < 160 * shape) << tinted;
    }
}

// Layer k draws its points k pixels wide; blending and the depth test are switched on as asked and back
// off, depth writes off while testing depth unless asked for, and the list goes when released.
TEST_F(UniverseTest, LayersWidenAndStateIsRestoredAndReleaseDeletesTheList) {
    glViewport(0, 0, gltest::WindowWidth, gltest::WindowHeight);
    Stars.Layers = 3;
    Stars.Build(1); // one star whose three copies lie apart on the screen
    std::vector<unsigned char> rgb(gltest::WindowWidth * gltest::WindowHeight * 3);
    for (int flags = 0; flags < 8; ++flags) {
        Stars.Blend = flags & 1, Stars.DepthTest = flags >> 1 & 1, Stars.DepthWrite = flags >> 2 & 1;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Stars.Draw();
        gltest::ExpectRestingState();
        glReadPixels(0, 0, gltest::WindowWidth, gltest::WindowHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        EXPECT_EQ(std::count_if(rgb.begin(), rgb.end(), [](unsigned char c) { return c > 0; }),
                  3 * (1 + 4 + 9));
        GLfloat depth = 1.0f, size = 0.0f;
        glGetFloatv(GL_POINT_SIZE, &size);
        EXPECT_EQ(size, 1.0f);
        const FeedbackVertex star = CaptureFeedback([this] { Stars.Draw(); }).Vertices()[0];
        glReadPixels(int(star.X), int(star.Y), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_EQ(depth < 1.0f, Stars.DepthTest && Stars.DepthWrite) << flags;
    }
    const GLuint list = GLuint(Stars.List);
    Stars.Release();
    EXPECT_TRUE(!glIsList(list) && Stars.List == -1);
    Stars.Build(0);
    EXPECT_TRUE(CaptureFeedback([this] { Stars.Draw(); }).Primitives.empty());
}

} // namespace
