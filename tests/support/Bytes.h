#pragma once

// Files and little-endian words as bytes, for the tests of the preferences file and the image loaders.

#include "app/Settings.h"

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

// The low `size` bytes of `value` at `at`, least significant first.
inline void PutAt(Bytes& bytes, std::size_t at, std::uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

inline std::uint32_t WordAt(const Bytes& bytes, int word) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | bytes[std::size_t(4 * word + i)];
    return value;
}

inline float FloatAt(const Bytes& bytes, int word) {
    const std::uint32_t bits = WordAt(bytes, word);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void PutFloat(Bytes& bytes, int word, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutAt(bytes, std::size_t(4 * word), bits);
}

// The settings as their preferences file holds them.
inline Bytes RecordBytes(const SettingsStore& settings) {
    unsigned char bytes[SettingsStore::FileBytes];
    settings.Encode(bytes);
    return Bytes(bytes, bytes + SettingsStore::FileBytes);
}

} // namespace support
