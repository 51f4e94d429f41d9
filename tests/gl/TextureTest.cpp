// Images as OpenGL holds them, read back from the texture: BMP files of every accepted layout, the damaged
// ones refused, the alpha rules and the bind modes; and the generated spot, band and glow.

#include "render/Texture.h"
#include "render/ProceduralTexture.h"
#include "support/GlTestFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace {

using namespace support;
using Texel = std::array<int, 4>;

// The bound texture's level 0 as red, green, blue, alpha, bottom row first (luminance reads as red).
std::vector<Texel> Texels() {
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> bytes(std::size_t(width * height * 4));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    std::vector<Texel> texels;
    for (std::size_t i = 0; i < bytes.size(); i += 4)
        texels.push_back({bytes[i], bytes[i + 1], bytes[i + 2], bytes[i + 3]});
    return texels;
}
GLint Parameter(GLenum name) {
    GLint value = 0;
    name == GL_TEXTURE_ENV_MODE ? glGetTexEnviv(GL_TEXTURE_ENV, name, &value)
                                : glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

class TextureTest : public gltest::GlTest {
protected:
    ScratchFolder Scratch;
};

// Read: 24-bit pixels, rows padded to 4 bytes, bottom row first or (a negative height) top row first,
// where the header's offset says or right after the header when the offset points nowhere. Refused, the
// texture left without an image: over 256 x 256 pixels, sides of 0 or less, other depths, compression,
// a palette, another signature or header, two planes, a short header.
TEST_F(TextureTest, BmpFilesOfEveryReadableLayoutLoadAndDamagedOnesAreRefused) {
    const struct {
        BmpImage Image;
        int At, Size; // a field written over the header, when Size is not 0
        std::uint32_t Value;
        bool Loads;
    } cases[] = {{{256, 256}, 0, 0, 0, true},
                 {{3, 5}, 0, 0, 0, true},
                 {{5, -2}, 0, 0, 0, true},
                 {{2, 2, 24, 0, 124, 138}, 0, 0, 0, true},
                 {{4, 4}, 10, 4, 0, true},
                 {{4, 4}, 10, 4, 0xFFFFFFF0, true},
                 {{65537, 1}, 0, 0, 0, false},
                 {{16, 16}, 18, 4, 65536, false},
                 {{16, 16}, 18, 4, 0xFFFFFFF0, false},
                 {{0, 16}, 0, 0, 0, false},
                 {{16, 16}, 22, 4, 0x80000000, false},
                 {{8, 8, 8}, 0, 0, 0, false},
                 {{8, 8, 24, 1}, 0, 0, 0, false},
                 {{8, 8}, 46, 4, 16, false},
                 {{8, 8}, 0, 2, 'M' | 'B' << 8, false},
                 {{8, 8, 24, 0, 12}, 0, 0, 0, false},
                 {{8, 8}, 26, 2, 2, false},
                 {{8, 8}, 40, -1, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Bytes bytes = BmpFile(c.Image);
        c.Size<0 ? bytes.resize(std::size_t(c.At)) : c.Size> 0 ? PutAt(bytes, c.At, c.Value, c.Size) : void();
        WriteFile("image.bmp", bytes);
        for (auto load : {&LoadBmpRgba, &LoadBmpLuminanceAlpha}) {
            Texture texture;
            const unsigned int name = load(texture, "image.bmp", -1, 0, false);
            EXPECT_EQ(name != 0, c.Loads);
            EXPECT_EQ(texture.Name, c.Loads ? name : Texture::NoImage);
            if (name == 0)
                continue;
            glBindTexture(GL_TEXTURE_2D, name);
            const std::vector<Texel> texels = Texels();
            const int width = c.Image.Width, rows = std::abs(c.Image.Height);
            ASSERT_EQ(texels.size(), std::size_t(width * rows));
            for (int i = 0; i < width * rows; ++i) {
                const Rgb rgb = BmpColour(i % width, i / width);
                const Texel expected = {rgb[0], load == &LoadBmpRgba ? rgb[1] : 0,
                                        load == &LoadBmpRgba ? rgb[2] : 0, (rgb[0] + rgb[1] + rgb[2]) / 3};
                ASSERT_EQ(texels[std::size_t(i)], expected) << "texel " << i;
            }
        }
    }
    std::filesystem::create_directory("folder.bmp");
    for (const char* path : {"folder.bmp", "missing.bmp"}) {
        Texture texture;
        EXPECT_TRUE(LoadBmpRgba(texture, path, -1, 0, false) == 0 && texture.Name == Texture::NoImage);
    }
}

// Alpha is the brightness for a negative alpha value; otherwise 0 where all three bytes are below the
// threshold and the alpha value's low byte elsewhere. A file cut short reads 255 for every missing byte.
TEST_F(TextureTest, AlphaFromBrightnessOrThresholdAndMissingBytesRead255) {
    const struct {
        int AlphaValue, Threshold, Red, Green, Blue, Alpha;
    } cases[] = {{-1, 0, 255, 255, 255, 255}, {-1, 0, 0, 0, 0, 0},      {-1, 0, 10, 20, 31, 20},
                 {200, 10, 9, 9, 9, 0},       {200, 10, 9, 9, 10, 200}, {200, 10, 10, 9, 9, 200},
                 {255, 0, 0, 0, 0, 255},      {0x1C8, 0, 1, 2, 3, 0xC8}};
    for (const auto& c : cases) {
        Bytes bytes = BmpFile({4, 1});
        PutAt(bytes, 54, std::uint32_t(c.Blue | c.Green << 8 | c.Red << 16), 3);
        bytes.resize(54 + 4); // the second pixel keeps its blue byte only
        WriteFile("image.bmp", bytes);
        Texture texture;
        ASSERT_NE(LoadBmpRgba(texture, "image.bmp", c.AlphaValue, c.Threshold, false), 0u);
        const Rgb second = BmpColour(1, 0);
        const int missing = c.AlphaValue < 0 ? (second[2] + 510) / 3 : c.AlphaValue & 0xFF;
        EXPECT_EQ(Texels(), (std::vector<Texel>{{c.Red, c.Green, c.Blue, c.Alpha},
                                                {255, 255, second[2], missing},
                                                {255, 255, 255, c.AlphaValue < 0 ? 255 : missing},
                                                {255, 255, 255, c.AlphaValue < 0 ? 255 : missing}}))
            << c.AlphaValue << ", " << c.Threshold;
    }
}

// Every bind applies the texture's wrap mode in both directions and its environment mode, 0 leaving a mode
// as it was; the font's loader always modulates. Filters are linear, mipmapped only when asked.
TEST_F(TextureTest, BindAppliesWrapAndEnvironmentAndMipmapsOnlyWhenAsked) {
    WriteFile("image.bmp", BmpFile({16, 8}));
    for (bool mipmaps : {false, true}) {
        Texture clamped, font;
        clamped.Wrap = GL_CLAMP, clamped.EnvMode = GL_DECAL, font.EnvMode = GL_REPLACE;
        ASSERT_NE(LoadBmpLuminanceAlpha(font, "image.bmp", -1, 0, mipmaps), 0u);
        EXPECT_EQ(Parameter(GL_TEXTURE_ENV_MODE), GL_MODULATE);
        ASSERT_NE(LoadBmpRgba(clamped, "image.bmp", 255, 0, mipmaps), 0u);
        EXPECT_EQ(std::vector<GLint>({Parameter(GL_TEXTURE_WRAP_S), Parameter(GL_TEXTURE_WRAP_T),
                                      Parameter(GL_TEXTURE_ENV_MODE), Parameter(GL_TEXTURE_MAG_FILTER),
                                      Parameter(GL_TEXTURE_MIN_FILTER)}),
                  std::vector<GLint>({GL_CLAMP, GL_CLAMP, GL_DECAL, GL_LINEAR,
                                      mipmaps ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR}));
        GLint level4 = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 4, GL_TEXTURE_WIDTH, &level4);
        EXPECT_EQ(level4, mipmaps ? 1 : 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT),
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
        Texture keeps = clamped;
        keeps.Wrap = keeps.EnvMode = 0;
        keeps.Bind();
        EXPECT_TRUE(Parameter(GL_TEXTURE_WRAP_T) == GL_REPEAT && Parameter(GL_TEXTURE_ENV_MODE) == GL_ADD);
    }
}

// The spot: 234 times (1 - d²) plus up to 20 of grain, d the distance from the middle in half sides, and
// grain alone beyond. The band: min(64 - |x - 64|, 49) / 49 times 255 per column, or a full-white
// sparkle (with a chance of 30 in 255 - level). The glow: flat 250 out to 19.2 pixels, falling to black
// by 141, rays (out to 126 pixels) only brightening it. All
// grey, alpha equal to brightness, filtered linearly and repeating.
TEST_F(TextureTest, GeneratedSpotBandAndGlow) {
    for (int image = 0; image < 4; ++image) {
        SCOPED_TRACE(image);
        const int side = image == 0 ? 128 : image == 2 ? 128 : 256, kind = image == 2 ? BandKind : SpotKind;
        Texture texture;
        const unsigned int name = GenerateTexture(texture, kind, side);
        ASSERT_TRUE(name != 0 && texture.Name == name);
        if (image == 3)
            UpdateGlowRays(name);
        EXPECT_TRUE(Parameter(GL_TEXTURE_MIN_FILTER) == GL_LINEAR &&
                    Parameter(GL_TEXTURE_MAG_FILTER) == GL_LINEAR &&
                    Parameter(GL_TEXTURE_WRAP_S) == GL_REPEAT);
        const std::vector<Texel> texels = Texels();
        ASSERT_EQ(texels.size(), std::size_t(side * side));
        int wrong = 0, sparkles = 0, flat = 0;
        for (int i = 0; i < side * side; ++i) {
            const Texel t = texels[std::size_t(i)];
            const int x = i % side, y = i / side, level = t[0];
            const double d = std::hypot(x - side / 2, y - side / 2);
            wrong += t[1] != level || t[2] != level || t[3] != level;
            if (image < 2) {
                const double falloff = (1.0 - std::pow(std::min(d / (side / 2), 1.0), 2)) * 234.0;
                wrong += level < std::floor(falloff) - 1 || level > falloff + 20;
            } else if (image == 2) {
                sparkles += x < 10 && level == 255;
                wrong +=
                    level != 255 && std::abs(level - std::min(64 - std::abs(x - 64), 49) / 49.0 * 255.0) > 1;
            } else {
                const double glow = d <= 19.2 ? 250.0 : std::max(0.0, (1.1 - d / 128) * 1.05 * 250.0);
                flat += d > 20 && d < 25 && level >= 250;
                wrong += d > 127 ? std::abs(level - glow) > 1
                                 : level < std::floor(glow) - 1 || (d < 1 && level < 250);
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_TRUE(image == 2 ? sparkles > 80 && sparkles < 300 : sparkles == 0)
            << sparkles; // 30 in 255 - t
        EXPECT_LT(flat, 350) << "past 19.2 pixels the glow falls off, but where a ray crosses";
    }
    Texture texture;
    EXPECT_TRUE(GenerateTexture(texture, 1, 128) == 0 && GenerateTexture(texture, SpotKind, 64) == 0 &&
                texture.Name == Texture::NoImage);
}

} // namespace
