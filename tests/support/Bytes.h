#pragma once

// Files as bytes, for the preferences file and the image loaders. Offsets are byte offsets.
//   ReadFile(path), WriteFile(path, bytes)
//   PutAt(bytes, offset, value, size = 4)   the low `size` bytes of value, least significant first
//   WordAt(bytes, offset)                    the 4-byte little-endian word at an offset
//   PrefsRecord({{offset, value}, {offset, value, true}})   a whole preferences file from its fields
//   RecordBytes(settings)                    the 184 bytes the program saves for a settings record
//   BmpFile(BmpImage{...})                   a BMP file whose header fields are all spelled out
// (PutFloat is gone: PrefsRecord writes the float fields.)

#include "app/Settings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace support {

using Bytes = std::vector<unsigned char>;

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline void PutAt(Bytes& bytes, std::size_t at, std::uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i)
        bytes[at + std::size_t(i)] = static_cast<unsigned char>(value >> (8 * i));
}

inline std::uint32_t WordAt(const Bytes& bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 | std::uint32_t(bytes[at + 2]) << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}

// One field of a preferences file: its offset and its value, a 32-bit int or (IsFloat) a float.
struct PrefField {
    int Offset;
    double Value;
    bool IsFloat = false;
};

// The 184 bytes of a preferences file: the tag FC 45 42 00 at offset 0, the given fields, zero elsewhere.
inline Bytes PrefsRecord(const std::vector<PrefField>& fields) {
    Bytes bytes(184, 0);
    PutAt(bytes, 0, 0x004245FC);
    for (const PrefField& field : fields) {
        const float value = float(field.Value);
        std::uint32_t word = std::uint32_t(std::int32_t(field.Value));
        if (field.IsFloat)
            std::memcpy(&word, &value, sizeof word);
        PutAt(bytes, std::size_t(field.Offset), word);
    }
    return bytes;
}

inline Bytes RecordBytes(const SettingsStore& settings) {
    unsigned char bytes[SettingsStore::FileBytes];
    settings.Encode(bytes);
    return Bytes(bytes, bytes + SettingsStore::FileBytes);
}

using Rgb = std::array<int, 3>;

// A colour that differs in every channel, row and column, so that a swapped channel or a flipped row shows.
inline Rgb BmpColour(int x, int y) {
    return {(x * 7 + y * 3) & 0xFF, (x * 5 + y * 11 + 40) & 0xFF, (x + y * 13 + 90) & 0xFF};
}

// A BMP file as the header describes it. The pixels, BmpColour(x, y) x columns right and y rows up from the
// bottom, are always written 3 bytes each (blue, green, red), every row padded to 4 bytes, the bottom row
// first unless Height is negative.
struct BmpImage {
    int Width = 8;
    int Height = 8;
    int BitsPerPixel = 24;
    int Compression = 0;
    int InfoSize = 40;   // the info header's own size field
    int DataOffset = 54; // where the pixels start; bytes between the header and it are zero
};

inline Bytes BmpFile(const BmpImage& image) {
    const int rows = image.Height < 0 ? -image.Height : image.Height;
    const std::size_t rowBytes = (std::size_t(image.Width) * 3 + 3) & ~std::size_t(3);
    Bytes bytes(std::max<std::size_t>(54, std::size_t(image.DataOffset) + rowBytes * std::size_t(rows)), 0);
    PutAt(bytes, 0, 'B' | 'M' << 8, 2);
    PutAt(bytes, 2, std::uint32_t(bytes.size()));
    PutAt(bytes, 10, std::uint32_t(image.DataOffset));
    PutAt(bytes, 14, std::uint32_t(image.InfoSize));
    PutAt(bytes, 18, std::uint32_t(image.Width));
    PutAt(bytes, 22, std::uint32_t(image.Height));
    PutAt(bytes, 26, 1, 2);
    PutAt(bytes, 28, std::uint32_t(image.BitsPerPixel), 2);
    PutAt(bytes, 30, std::uint32_t(image.Compression));
    for (int row = 0; row < rows; ++row)
        for (int x = 0; x < image.Width; ++x) {
            const Rgb colour = BmpColour(x, image.Height < 0 ? rows - 1 - row : row);
            const std::size_t at =
                std::size_t(image.DataOffset) + std::size_t(row) * rowBytes + std::size_t(x) * 3;
            PutAt(bytes, at, std::uint32_t(colour[2] | colour[1] << 8 | colour[0] << 16), 3);
        }
    return bytes;
}

} // namespace support
