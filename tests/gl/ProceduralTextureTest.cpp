// The generated images as OpenGL holds them: texture state queried and texels read back with
// glGetTexImage.

#include "render/ProceduralTexture.h"
#include "render/Texture.h"
#include "support/GlTestFixture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Texels = std::vector<unsigned char>;

double Distance(int x, int y, int centre) {
    return std::hypot(x - centre, y - centre);
}

class ProceduralTextureTest : public gltest::GlTest {
protected:
    static Texels Read(unsigned int name, int side) {
        Texels texels(size_t(side) * side * 4);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }

    // Generates an image and checks what every generated texture shares: a new bound name of the asked
    // size with linear filters and repeat wrap, grey texels whose alpha equals their brightness.
    static Texels Generate(int kind, int side) {
        Texture texture;
        const unsigned int name = GenerateTexture(texture, kind, side);
        EXPECT_NE(name, 0u);
        EXPECT_EQ(texture.Name, name);
        const GLenum expected[][2] = {{GL_TEXTURE_MIN_FILTER, GL_LINEAR},
                                      {GL_TEXTURE_MAG_FILTER, GL_LINEAR},
                                      {GL_TEXTURE_WRAP_S, GL_REPEAT},
                                      {GL_TEXTURE_WRAP_T, GL_REPEAT}};
        for (const auto& parameter : expected) {
            GLint value = 0;
            glGetTexParameteriv(GL_TEXTURE_2D, parameter[0], &value);
            EXPECT_EQ(GLenum(value), parameter[1]) << "parameter 0x" << std::hex << parameter[0];
        }
        GLint bound = 0, width = 0, height = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(GLuint(bound), name);
        EXPECT_EQ(width, side);
        EXPECT_EQ(height, side);
        const Texels texels = Read(name, side);
        ExpectGrey(texels);
        return texels;
    }

    static void ExpectGrey(const Texels& texels) {
        size_t coloured = 0;
        for (size_t i = 0; i < texels.size(); i += 4)
            coloured += !std::all_of(&texels[i + 1], &texels[i + 4], [&](int c) { return c == texels[i]; });
        EXPECT_EQ(coloured, 0u) << "texels whose four channels differ";
    }
};

TEST_F(ProceduralTextureTest, SpotIsBrightInTheMiddleAndFadesToGrain) {
    for (const int side : {128, 256}) {
        SCOPED_TRACE(testing::Message() << "side " << side);
        const Texels texels = Generate(SpotKind, side);
        const int half = side / 2;
        const int centre = texels[(half * side + half) * 4];
        EXPECT_GE(centre, 234);
        EXPECT_LE(centre, 253);
        int outOfRange = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                // 234 times the falloff plus up to 20 of grain; plain grain of 0 to 19 beyond the radius.
                const double d = std::min(Distance(x, y, half) / half, 1.0);
                const double falloff = (1.0 - d * d) * 234.0;
                const int value = texels[(y * side + x) * 4];
                outOfRange +=
                    value < std::floor(falloff) - 1 || value > falloff + 20 || (d >= 1 && value > 19);
            }
        EXPECT_EQ(outOfRange, 0);
    }
}

TEST_F(ProceduralTextureTest, BandIsWhiteInTheMiddleDarkAtTheEdgesWithSparkle) {
    const int side = 128;
    const Texels texels = Generate(BandKind, side);
    int wrong = 0, darkSparkle = 0, darkColumnZero = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double column = std::min(64 - std::abs(x - 64), 49) / 49.0 * 255.0;
            const int value = texels[(y * side + x) * 4];
            // Each texel is its column's brightness or a sparkle at full white.
            wrong += value != 255 && std::abs(value - column) > 1;
            wrong += x >= 44 && x <= 84 && value != 255;
            darkSparkle += x < 30 && value == 255;
            darkColumnZero += x == 0 && value == 0;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(darkSparkle, 0);
    EXPECT_GT(darkColumnZero, 0);
}

TEST_F(ProceduralTextureTest, UnknownKindOrSideCreatesNothing) {
    const struct {
        int Kind, Side;
    } cases[] = {{1, 128},       {11, 128},       {13, 256},     {-1, 256},
                 {SpotKind, 64}, {SpotKind, 512}, {BandKind, 0}, {SpotKind, -128}};
    for (const auto& c : cases) {
        Texture texture;
        texture.Name = 77;
        EXPECT_EQ(GenerateTexture(texture, c.Kind, c.Side), 0u) << "kind " << c.Kind << ", side " << c.Side;
        EXPECT_EQ(texture.Name, 77u);
    }
}

TEST_F(ProceduralTextureTest, GlowStaysRoundAndFadesToBlackCornersWhileRaysTurn) {
    const int side = 256, centre = 128;
    Texture glow;
    const unsigned int name = GenerateTexture(glow, SpotKind, side);
    for (int call = 0; call < 4; ++call) {
        SCOPED_TRACE(testing::Message() << "update " << call);
        UpdateGlowRays(name);
        const Texels texels = Read(name, side);
        ExpectGrey(texels);
        EXPECT_GE(texels[(centre * side + centre) * 4], 250);
        int wrong = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                // Flat 250 out to a radius of 19.2, then falling to nothing by 141; rays only brighten it.
                const double r = Distance(x, y, centre);
                const double glowLevel = std::max(0.0, r <= 19.2 ? 250.0 : (1.1 - r / 128) * 1.05 * 250.0);
                const int value = texels[(y * side + x) * 4];
                wrong += value < std::floor(glowLevel) - 1 || value > 254 || (r > 141 && value != 0);
            }
        EXPECT_EQ(wrong, 0);
    }
}

} // namespace
