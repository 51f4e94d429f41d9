#include "render/Texture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <sys/types.h>

namespace {

// The 14-byte file header and the 40-byte info header; every field the loaders use lies inside them.
constexpr std::size_t HeaderBytes = 54;
// Rows padded to 4 bytes never take more than 4 bytes per pixel, so the file's pixel rows of the largest
// image fit in as many bytes as its RGBA texels.
constexpr std::size_t MaxImageBytes = std::size_t(Texture::MaxPixels) * 4;

// Where the pixel rows of a readable file lie and in which order they run.
struct BmpLayout {
    int Width = 0;
    int Height = 0;
    bool TopDown = false;
    std::uint64_t DataOffset = HeaderBytes;
    std::size_t RowBytes = 0;
};

std::uint32_t ReadU16(const unsigned char* bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8;
}

std::uint32_t ReadU32(const unsigned char* bytes, std::size_t at) {
    return ReadU16(bytes, at) | ReadU16(bytes, at + 2) << 16;
}

std::int64_t ReadI32(const unsigned char* bytes, std::size_t at) {
    const std::int64_t value = ReadU32(bytes, at);
    return value >= (std::int64_t(1) << 31) ? value - (std::int64_t(1) << 32) : value;
}

// Accepts only what the loaders can read: uncompressed 24-bit pixels without a palette, at most MaxPixels
// of them. The size is multiplied in 64 bits, where two large sides cannot wrap round to a small product.
bool ParseHeader(const unsigned char* header, std::uint64_t fileSize, BmpLayout& layout) {
    if (header[0] != 'B' || header[1] != 'M')
        return false;
    // The old 12-byte core header keeps its sizes and bit depth at other offsets.
    if (ReadU32(header, 14) < 40)
        return false;
    if (ReadU16(header, 26) != 1 || ReadU16(header, 28) != 24 || ReadU32(header, 30) != 0 ||
        ReadU32(header, 46) != 0)
        return false;
    const std::int64_t width = ReadI32(header, 18);
    const std::int64_t height = ReadI32(header, 22);
    const std::int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0 || width * rows > Texture::MaxPixels)
        return false;
    layout.Width = int(width);
    layout.Height = int(rows);
    layout.TopDown = height < 0;
    layout.RowBytes = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    // Writers that leave the offset empty, or point it nowhere, still put the pixels right after the header.
    const std::uint32_t offset = ReadU32(header, 10);
    layout.DataOffset = offset >= HeaderBytes && offset < fileSize ? offset : HeaderBytes;
    return true;
}

// A short file has always given 255 for every byte it lacks; the image keeps that look.
int ByteAt(const unsigned char* data, std::size_t available, std::size_t at) {
    return at < available ? data[at] : 255;
}

// Turns the file's blue-green-red rows into texels, row 0 being the bottom row of the picture.
void DecodeRows(const BmpLayout& layout, const unsigned char* data, std::size_t available,
                PixelLayout pixelLayout, int alphaValue, int threshold, unsigned char* pixels) {
    unsigned char* out = pixels;
    for (int y = 0; y < layout.Height; ++y) {
        const int fileRow = layout.TopDown ? layout.Height - 1 - y : y;
        std::size_t at = std::size_t(fileRow) * layout.RowBytes;
        for (int x = 0; x < layout.Width; ++x, at += 3) {
            const int blue = ByteAt(data, available, at);
            const int green = ByteAt(data, available, at + 1);
            const int red = ByteAt(data, available, at + 2);
            int alpha = alphaValue & 0xFF;
            if (alphaValue < 0)
                alpha = (blue + green + red) / 3;
            else if (blue < threshold && green < threshold && red < threshold)
                alpha = 0;
            *out++ = static_cast<unsigned char>(red);
            if (pixelLayout == PixelLayout::Rgba) {
                *out++ = static_cast<unsigned char>(green);
                *out++ = static_cast<unsigned char>(blue);
            }
            *out++ = static_cast<unsigned char>(alpha);
        }
    }
}

// Images are loaded one at a time at start-up; these buffers keep them off the heap and off the stack.
unsigned char FileRows[MaxImageBytes];
unsigned char Texels[MaxImageBytes];

// Reads the file into Texels. Only regular files: a directory opens for reading but has no bytes.
ImageSize ReadBmpFile(const char* fileName, PixelLayout pixelLayout, int alphaValue, int threshold) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file)
        return {};
    ImageSize size;
    struct stat info {};
    unsigned char header[HeaderBytes];
    std::memset(header, 255, sizeof header);
    BmpLayout layout;
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) &&
        std::fread(header, 1, sizeof header, file) > 0 &&
        ParseHeader(header, std::uint64_t(info.st_size), layout)) {
        const std::size_t wanted = std::min(layout.RowBytes * std::size_t(layout.Height), sizeof FileRows);
        std::size_t available = 0;
        if (fseeko(file, off_t(layout.DataOffset), SEEK_SET) == 0)
            available = std::fread(FileRows, 1, wanted, file);
        DecodeRows(layout, FileRows, available, pixelLayout, alphaValue, threshold, Texels);
        size = {layout.Width, layout.Height};
    }
    std::fclose(file);
    return size;
}

unsigned int LoadBmp(Texture& texture, const char* fileName, PixelLayout pixelLayout, int alphaValue,
                     int threshold, bool buildMipmaps) {
    const ImageSize size = ReadBmpFile(fileName, pixelLayout, alphaValue, threshold);
    if (size.Width == 0)
        return 0;
    const GLenum format = pixelLayout == PixelLayout::Rgba ? GL_RGBA : GL_LUMINANCE_ALPHA;
    GLuint name = 0;
    glGenTextures(1, &name);
    texture.Name = name;
    texture.Bind();
    // The font's luminance only tints the text colour; any other mode would paint the glyphs grey.
    if (pixelLayout == PixelLayout::LuminanceAlpha)
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    buildMipmaps ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), size.Width, size.Height, 0, format, GL_UNSIGNED_BYTE,
                 Texels);
    if (buildMipmaps)
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, size.Width, size.Height, format, GL_UNSIGNED_BYTE, Texels);
    return name;
}

} // namespace

void Texture::Bind() const {
    glBindTexture(GL_TEXTURE_2D, Name);
    if (Wrap != 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, Wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, Wrap);
    }
    if (EnvMode != 0)
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GLfloat(EnvMode));
}

ImageSize DecodeBmp(const unsigned char* file, std::size_t size, PixelLayout layout, int alphaValue,
                    int threshold, unsigned char* pixels) {
    unsigned char header[HeaderBytes];
    std::memset(header, 255, sizeof header);
    if (size > 0)
        std::memcpy(header, file, std::min(size, sizeof header));
    BmpLayout bmp;
    if (!ParseHeader(header, size, bmp))
        return {};
    const bool hasData = bmp.DataOffset < size;
    DecodeRows(bmp, hasData ? file + bmp.DataOffset : nullptr, hasData ? size - bmp.DataOffset : 0, layout,
               alphaValue, threshold, pixels);
    return {bmp.Width, bmp.Height};
}

unsigned int LoadBmpRgba(Texture& texture, const char* fileName, int alphaValue, int threshold,
                         bool buildMipmaps) {
    return LoadBmp(texture, fileName, PixelLayout::Rgba, alphaValue, threshold, buildMipmaps);
}

unsigned int LoadBmpLuminanceAlpha(Texture& texture, const char* fileName, int alphaValue, int threshold,
                                   bool buildMipmaps) {
    return LoadBmp(texture, fileName, PixelLayout::LuminanceAlpha, alphaValue, threshold, buildMipmaps);
}
