// The BMP loaders on a real context: files written into a scratch folder, texels read back from the
// texture, its name, binding and parameters queried.

#include "render/Texture.h"
#include "support/Bytes.h"
#include "support/GlTestFixture.h"

#include <GL/gl.h>
#include <cstdint>
#include <tuple>
#include <vector>

namespace {

using namespace support;
using Texel = std::array<int, 4>; // R, G, B, A

// Different values in every channel, row and column, so a swapped channel or a flipped row shows.
Texel Colour(int x, int y) {
    return {(x * 7 + y * 3) & 0xFF, (x * 5 + y * 11 + 40) & 0xFF, (x + y * 13 + 90) & 0xFF, 0};
}

// A 24-bit file of the Colour picture with rows padded to 4 bytes and `gap` bytes before the pixels.
Bytes MakeBmp(int width, int height, bool topDown = false, int gap = 0) {
    const std::size_t rowBytes = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    Bytes bytes(54 + gap + rowBytes * height, 0);
    PutAt(bytes, 0, 'B' | 'M' << 8, 2);
    PutAt(bytes, 2, std::uint32_t(bytes.size()), 4);
    PutAt(bytes, 10, 54 + gap, 4);
    PutAt(bytes, 14, 40, 4);
    PutAt(bytes, 18, width, 4);
    PutAt(bytes, 22, std::uint32_t(topDown ? -height : height), 4);
    PutAt(bytes, 26, 1, 2);
    PutAt(bytes, 28, 24, 2);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            const Texel colour = Colour(x, topDown ? height - 1 - row : row);
            for (int channel = 0; channel < 3; ++channel)
                bytes[54 + gap + row * rowBytes + x * 3 + channel] =
                    static_cast<unsigned char>(colour[2 - channel]);
        }
    return bytes;
}

// The alpha of the loaders' brightness rule.
Texel Bright(Texel t) {
    return {t[0], t[1], t[2], (t[0] + t[1] + t[2]) / 3};
}

using Loader = unsigned int (*)(Texture&, const char*, int, int, bool);

class TextureLoadTest : public gltest::GlTest {
protected:
    template <typename Get, typename... Args> static GLint Query(Get get, Args... args) {
        GLint value = 0;
        get(args..., &value);
        return value;
    }
    static GLint Level(int level, GLenum name) {
        return Query(glGetTexLevelParameteriv, GL_TEXTURE_2D, level, name);
    }
    static GLint Parameter(GLenum name) { return Query(glGetTexParameteriv, GL_TEXTURE_2D, name); }
    static GLint Bound() { return Query(glGetIntegerv, GL_TEXTURE_BINDING_2D); }
    static GLint EnvMode() { return Query(glGetTexEnviv, GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE); }

    // Level 0 of the bound texture as RGBA, bottom row first; luminance comes back as (L, 0, 0).
    static std::vector<Texel> Texels() {
        std::vector<unsigned char> bytes(std::size_t(Level(0, GL_TEXTURE_WIDTH)) *
                                         Level(0, GL_TEXTURE_HEIGHT) * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        std::vector<Texel> texels;
        for (std::size_t i = 0; i < bytes.size(); i += 4)
            texels.push_back({bytes[i], bytes[i + 1], bytes[i + 2], bytes[i + 3]});
        return texels;
    }

    gltest::ScratchDirectory Scratch;
};

TEST_F(TextureLoadTest, ReadsEveryAcceptedLayoutBottomRowFirst) {
    const struct {
        const char* What;
        int Width, Height;
        bool TopDown;
        int Gap, InfoSize;
        std::int64_t Offset; // -1: the true offset
    } cases[] = {
        {"largest", 256, 256, false, 0, 40, -1}, {"padded rows", 3, 5, false, 0, 40, -1},
        {"top-down", 4, 3, true, 0, 40, -1},     {"top-down, padded", 5, 2, true, 0, 40, -1},
        {"gap", 4, 4, false, 16, 40, -1},        {"v5 header", 2, 2, false, 84, 124, -1},
        {"empty offset", 4, 4, false, 0, 40, 0}, {"offset past end", 4, 4, false, 0, 40, 0xFFFFFFF0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        Bytes bytes = MakeBmp(c.Width, c.Height, c.TopDown, c.Gap);
        PutAt(bytes, 14, c.InfoSize, 4);
        if (c.Offset >= 0)
            PutAt(bytes, 10, std::uint32_t(c.Offset), 4);
        WriteFile("image.bmp", bytes);
        Texture texture;
        const unsigned int name = LoadBmpRgba(texture, "image.bmp", -1, 0, false);
        ASSERT_NE(name, 0u);
        EXPECT_EQ(texture.Name, name);
        EXPECT_EQ(GLuint(Bound()), name);
        ASSERT_EQ(std::make_pair(Level(0, GL_TEXTURE_WIDTH), Level(0, GL_TEXTURE_HEIGHT)),
                  std::make_pair(c.Width, c.Height));
        const std::vector<Texel> texels = Texels();
        for (int i = 0; i < c.Width * c.Height; ++i)
            ASSERT_EQ(texels[i], Bright(Colour(i % c.Width, i / c.Width))) << "texel " << i;
    }
}

TEST_F(TextureLoadTest, RejectsWhatItCannotReadAndLeavesTheTextureEmpty) {
    const struct {
        const char* What;
        int At, Size;
        std::uint32_t Value, Value2; // Value2 goes to the height when At is the width
    } cases[] = {{"257 x 256", 18, 4, 257, 256},
                 {"wraps in 32 bits", 18, 4, 65536, 65537},
                 {"huge", 18, 4, 0x7FFFFFFF, 0x7FFFFFFF},
                 {"negative width", 18, 4, 0xFFFFFFF0, 16},
                 {"zero width", 18, 4, 0, 16},
                 {"zero height", 18, 4, 16, 0},
                 {"height -2^31", 18, 4, 1, 0x80000000},
                 {"8-bit", 28, 2, 8, 0},
                 {"compressed", 30, 4, 1, 0},
                 {"palette", 46, 4, 16, 0},
                 {"MB, not BM", 0, 2, 0x424D, 0},
                 {"core header", 14, 4, 12, 0},
                 {"two planes", 26, 2, 2, 0},
                 {"short header", 0, 0, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        Bytes bytes = MakeBmp(16, 16);
        if (c.Size == 0)
            bytes.resize(40);
        else
            PutAt(bytes, c.At, c.Value, c.Size);
        if (c.At == 18)
            PutAt(bytes, 22, c.Value2, 4);
        WriteFile("image.bmp", bytes);
        for (Loader load : {&LoadBmpRgba, &LoadBmpLuminanceAlpha}) {
            glBindTexture(GL_TEXTURE_2D, 0);
            Texture texture;
            EXPECT_EQ(load(texture, "image.bmp", -1, 0, true), 0u);
            EXPECT_EQ(texture.Name, Texture::NoImage);
            EXPECT_EQ(Bound(), 0);
        }
    }
    std::filesystem::create_directory("folder.bmp");
    for (const char* path : {"folder.bmp", ".", "missing.bmp"}) {
        Texture texture;
        EXPECT_EQ(LoadBmpRgba(texture, path, -1, 0, false), 0u) << path;
        EXPECT_EQ(texture.Name, Texture::NoImage) << path;
    }
}

TEST_F(TextureLoadTest, AlphaFromBrightnessOrThresholdAndLuminanceFromRed) {
    const struct {
        int AlphaValue, Threshold, Red, Green, Blue, Alpha;
    } cases[] = {{-1, 0, 255, 255, 255, 255}, {-1, 0, 0, 0, 0, 0},      {-1, 0, 10, 20, 31, 20},
                 {200, 10, 9, 9, 9, 0},       {200, 10, 9, 9, 10, 200}, {200, 10, 10, 9, 9, 200},
                 {255, 0, 0, 0, 0, 255},      {0x1C8, 0, 1, 2, 3, 0xC8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "alpha " << c.AlphaValue << ", threshold " << c.Threshold << ", ("
                                        << c.Red << ", " << c.Green << ", " << c.Blue << ")");
        Bytes bytes = MakeBmp(1, 1);
        PutAt(bytes, 54, c.Blue | c.Green << 8 | c.Red << 16, 3);
        WriteFile("image.bmp", bytes);
        Texture rgba, luminance;
        luminance.EnvMode = GL_REPLACE;
        ASSERT_NE(LoadBmpRgba(rgba, "image.bmp", c.AlphaValue, c.Threshold, false), 0u);
        EXPECT_EQ(Texels(), std::vector<Texel>({{c.Red, c.Green, c.Blue, c.Alpha}}));
        ASSERT_NE(LoadBmpLuminanceAlpha(luminance, "image.bmp", c.AlphaValue, c.Threshold, false), 0u);
        EXPECT_EQ(Level(0, GL_TEXTURE_INTERNAL_FORMAT), GL_LUMINANCE_ALPHA);
        EXPECT_EQ(Texels(), std::vector<Texel>({{c.Red, 0, 0, c.Alpha}}));
        EXPECT_EQ(EnvMode(), GL_MODULATE);
    }
}

TEST_F(TextureLoadTest, TruncatedFileReadsMissingBytesAs255) {
    Bytes bytes = MakeBmp(4, 4); // rows of 12 bytes; cut after the blue byte of pixel (1, 2)
    bytes.resize(54 + 2 * 12 + 4);
    WriteFile("image.bmp", bytes);
    Texture texture;
    ASSERT_NE(LoadBmpRgba(texture, "image.bmp", -1, 0, false), 0u);
    const std::vector<Texel> texels = Texels();
    ASSERT_EQ(texels.size(), 16u);
    EXPECT_EQ(texels[8], Bright(Colour(0, 2)));
    EXPECT_EQ(texels[9], Bright({255, 255, Colour(1, 2)[2], 0}));
    for (int i = 10; i < 16; ++i)
        EXPECT_EQ(texels[i], Bright({255, 255, 255, 0})) << "texel " << i;
}

TEST_F(TextureLoadTest, BindAppliesWrapAndEnvironmentUnlessZero) {
    WriteFile("image.bmp", MakeBmp(16, 16));
    Texture clamped;
    clamped.Wrap = GL_CLAMP;
    clamped.EnvMode = GL_DECAL;
    ASSERT_NE(LoadBmpRgba(clamped, "image.bmp", 255, 0, false), 0u);
    EXPECT_EQ(std::make_tuple(Parameter(GL_TEXTURE_WRAP_S), Parameter(GL_TEXTURE_WRAP_T), EnvMode()),
              std::make_tuple(GL_CLAMP, GL_CLAMP, GL_DECAL));

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    Texture untouched = clamped;
    untouched.Wrap = untouched.EnvMode = 0;
    untouched.Bind();
    EXPECT_EQ(std::make_tuple(Parameter(GL_TEXTURE_WRAP_S), Parameter(GL_TEXTURE_WRAP_T), EnvMode()),
              std::make_tuple(GL_REPEAT, GL_CLAMP_TO_EDGE, GL_REPLACE));
    clamped.Bind();
    EXPECT_EQ(std::make_tuple(Parameter(GL_TEXTURE_WRAP_S), Parameter(GL_TEXTURE_WRAP_T), EnvMode()),
              std::make_tuple(GL_CLAMP, GL_CLAMP, GL_DECAL));
}

TEST_F(TextureLoadTest, MipmapsOnlyWhenAsked) {
    WriteFile("image.bmp", MakeBmp(16, 8));
    for (Loader load : {&LoadBmpRgba, &LoadBmpLuminanceAlpha})
        for (bool mipmaps : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << (load == &LoadBmpRgba ? "RGBA" : "LA") << ", mipmaps " << mipmaps);
            Texture texture;
            ASSERT_NE(load(texture, "image.bmp", -1, 0, mipmaps), 0u);
            EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
            EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), mipmaps ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
            EXPECT_EQ(Level(1, GL_TEXTURE_WIDTH), mipmaps ? 8 : 0);
            EXPECT_EQ(Level(4, GL_TEXTURE_WIDTH), mipmaps ? 1 : 0);
        }
}

} // namespace
