#pragma once

#include <cstddef>

// An OpenGL texture name with the wrap and environment modes applied whenever it is bound. Images come
// from 24-bit BMP files (the loaders below) or from the procedural generators.
class Texture {
public:
    static constexpr unsigned int NoImage = ~0u;
    static constexpr int MaxPixels = 65536; // 256 x 256

    virtual ~Texture() = default;

    // Binds the name to GL_TEXTURE_2D and applies Wrap (both directions) and EnvMode; 0 leaves a mode as
    // it is.
    void Bind() const;

    unsigned int Name = NoImage; // NoImage until an image has been loaded
    int Wrap = 0x2901;           // GL_REPEAT
    int EnvMode = 0x2100;        // GL_MODULATE
};

// Load an uncompressed 24-bit BMP of at most MaxPixels pixels into a new GL texture, returning its name, or
// 0 (the texture left empty) when the file is missing or not such an image. The alpha of each pixel is its
// brightness when alphaValue is negative; otherwise 0 for pixels whose three bytes are all below threshold
// and alphaValue for the rest.
unsigned int LoadBmpRgba(Texture& texture, const char* fileName, int alphaValue, int threshold,
                         bool buildMipmaps);
// The same as luminance (the red byte) and alpha, for the font.
unsigned int LoadBmpLuminanceAlpha(Texture& texture, const char* fileName, int alphaValue, int threshold,
                                   bool buildMipmaps);

// How a loader lays out each pixel of its image: R, G, B, A or L, A, one byte each.
enum class PixelLayout { Rgba = 4, LuminanceAlpha = 2 };

// The size of a decoded image; 0 x 0 when the bytes are not an image the loaders can read.
struct ImageSize {
    int Width = 0;
    int Height = 0;
};

// The loaders' reading of a BMP file held in memory, without OpenGL: fills pixels (room for MaxPixels x 4
// bytes) bottom row first, with the alpha rule of the loaders. Bytes the header promises beyond the end of
// the file read as 255.
ImageSize DecodeBmp(const unsigned char* file, std::size_t size, PixelLayout layout, int alphaValue,
                    int threshold, unsigned char* pixels);

// The images of the program, loaded or generated once at start-up.
extern Texture FontTexture;
extern Texture MetalTexture;
extern Texture FloorTexture;
extern Texture LightmapTexture;
extern Texture ExitTexture;
extern Texture GlowTexture;
extern Texture ControlsTexture;
extern Texture ArcTexture;
