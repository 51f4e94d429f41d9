// Arbitrary bytes through the BMP reader of both loaders, under the address and undefined-behaviour
// sanitizers. Besides memory faults it stops on a decoded size the loaders could not upload and on texels
// that break the brightness rule.

#include "render/Texture.h"

#include <cstdint>
#include <cstdlib>

static unsigned char Pixels[Texture::MaxPixels * 4];

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // No picture at all, or one of at least a pixel each way and at most the pixels a loader uploads.
    const ImageSize rgba = DecodeBmp(data, size, PixelLayout::Rgba, -1, 0, Pixels);
    if ((rgba.Width == 0) != (rgba.Height == 0) || rgba.Width < 0 || rgba.Height < 0 ||
        std::int64_t(rgba.Width) * rgba.Height > Texture::MaxPixels)
        std::abort();
    for (int i = 0; i < rgba.Width * rgba.Height; ++i) {
        const unsigned char* texel = Pixels + 4 * i;
        if (texel[3] != (texel[0] + texel[1] + texel[2]) / 3)
            std::abort();
    }
    const ImageSize luminance = DecodeBmp(data, size, PixelLayout::LuminanceAlpha, 200, 10, Pixels);
    if (luminance.Width != rgba.Width || luminance.Height != rgba.Height)
        std::abort();
    return 0;
}
