// Images as OpenGL holds them, read back from the texture: BMP files of every readable layout, the damaged
// ones refused, and the alpha rules. (The images the program makes itself are seen in the scenes.)

#include "render/Texture.h"
#include "support/GlTestFixture.h"

#include <cstdint>
#include <cstdlib>

namespace {

using namespace support;

// The bound texture's level 0, four bytes a texel (red, green, blue, alpha; luminance reads as red), bottom
// row first.
std::vector<int> Texels() {
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> bytes(std::size_t(width * height * 4));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return {bytes.begin(), bytes.end()};
}
class TextureTest : public gltest::GlTest {};

// Read: 24-bit pixels, rows padded to 4 bytes, bottom row first or (a negative height) top row first, where
// the header's offset says or right after the header when it points nowhere; red, green and blue from the
// file's blue, green, red, alpha the brightness. Refused, the texture left without an image: over 256 x 256
// pixels, a side of 0, other depths, compression, a palette, a core header, two planes, a short file.
TEST_F(TextureTest, BmpFilesOfEveryReadableLayoutLoadDamagedOnesAreRefusedAndAlphaFollowsItsRule) {
    ScratchFolder scratch;
    const struct {
        BmpImage Image;
        int At; // a word written over the header there, or a cut there with Value 1
        std::uint32_t Value;
        bool Loads;
    } cases[] = {{{256, 256}, 0, 0, true},
                 {{3, 5}, 0, 0, true},
                 {{5, -2}, 0, 0, true},
                 {{2, 2, 24, 0, 124, 138}, 0, 0, true},
                 {{4, 4}, 10, 0xFFFFFFF0, true},
                 {{65537, 1}, 0, 0, false},
                 {{0, 16}, 0, 0, false},
                 {{8, 8, 8}, 0, 0, false},
                 {{8, 8, 24, 1}, 0, 0, false},
                 {{8, 8}, 46, 16, false},
                 {{8, 8, 24, 0, 12}, 0, 0, false},
                 {{8, 8}, 26, 2 | 24 << 16, false},
                 {{8, 8}, 40, 1, false}};
    for (const auto& c : cases) {
        Bytes bytes = BmpFile(c.Image);
        if (c.At == 40)
            bytes.resize(40);
        else if (c.At)
            PutAt(bytes, std::size_t(c.At), c.Value);
        WriteFile("image.bmp", bytes);
        for (auto load : {&LoadBmpRgba, &LoadBmpLuminanceAlpha}) {
            Texture texture;
            const unsigned int name = load(texture, "image.bmp", -1, 0, false);
            EXPECT_TRUE((name != 0) == c.Loads && texture.Name == (c.Loads ? name : Texture::NoImage))
                << &c - cases;
            glBindTexture(GL_TEXTURE_2D, name);
            const std::vector<int> texels = Texels();
            const int width = c.Image.Width;
            const int pixels = c.Loads ? width * std::abs(c.Image.Height) : 0;
            ASSERT_EQ(texels.size(), std::size_t(pixels * 4)) << &c - cases;
            for (int i = 0; i < pixels; ++i) {
                const Rgb rgb = BmpColour(i % width, i / width);
                const bool rgba = load == &LoadBmpRgba;
                ASSERT_TRUE(texels[4 * i] == rgb[0] && texels[4 * i + 1] == (rgba ? rgb[1] : 0) &&
                            texels[4 * i + 2] == (rgba ? rgb[2] : 0) &&
                            texels[4 * i + 3] == (rgb[0] + rgb[1] + rgb[2]) / 3)
                    << &c - cases << ", texel " << i;
            }
        }
    }
    // Alpha is the brightness for a negative alpha value (the floor's) and the alpha value itself otherwise
    // (255, the metal's), but 0 where all three are below the threshold. A file cut short
    // reads 255 for every missing byte.
    const int alphas[][6] = {{-1, 0, 10, 20, 31, 20}, {255, 10, 9, 9, 9, 0}}; // alpha, threshold, rgb, alpha
    for (const auto& c : alphas) {
        Bytes bytes = BmpFile({2, 1});
        PutAt(bytes, 54, std::uint32_t(c[4] | c[3] << 8 | c[2] << 16), 3);
        bytes.resize(54 + 4); // the second pixel keeps its blue byte only
        WriteFile("image.bmp", bytes);
        Texture texture;
        ASSERT_NE(LoadBmpRgba(texture, "image.bmp", c[0], c[1], true), 0u);
        const int blue = BmpColour(1, 0)[2];
        const int missing = c[0] < 0 ? (blue + 510) / 3 : c[0] & 0xFF;
        EXPECT_EQ(Texels(), (std::vector<int>{c[2], c[3], c[4], c[5], 255, 255, blue, missing}))
            << c[0] << ", " << c[1];
        GLint filter = 0; // mipmapped, as the floor's and the metal's images are
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(filter, GL_LINEAR_MIPMAP_NEAREST);
    }
}

} // namespace
