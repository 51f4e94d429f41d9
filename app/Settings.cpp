#include "app/Settings.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using IntField = int SettingsStore::*;
using FloatField = float SettingsStore::*;

// Words 1 to 17 of the file, in file order.
constexpr IntField IntWords[] = {
    &SettingsStore::Fov,         &SettingsStore::FullScreen,  &SettingsStore::Letterbox,
    &SettingsStore::Tesselation, &SettingsStore::Universe,    &SettingsStore::ScreenClear,
    &SettingsStore::SpotLights,  &SettingsStore::Textures,    &SettingsStore::PolygonMode,
    &SettingsStore::CameraMode,  &SettingsStore::OptionIndex, &SettingsStore::ImageOptionIndex,
    &SettingsStore::FpsClock,    &SettingsStore::ReservedInt, &SettingsStore::DepthCueFog,
    &SettingsStore::SavedN,      &SettingsStore::SavedN2,
};

// Words 18 to 45 of the file, in file order.
constexpr FloatField FloatWords[] = {
    &SettingsStore::RotateSpeed,      &SettingsStore::MoveSpeed,
    &SettingsStore::CameraZ,          &SettingsStore::ObjectSize,
    &SettingsStore::ReservedA,        &SettingsStore::ReservedB,
    &SettingsStore::MainSpeed,        &SettingsStore::ArcThickness,
    &SettingsStore::MotionDamping,    &SettingsStore::TextureMagnification,
    &SettingsStore::FogStart,         &SettingsStore::FogEnd,
    &SettingsStore::BumpResponse,     &SettingsStore::FadeEffect,
    &SettingsStore::LightRotateSpeed, &SettingsStore::MouseSensitivity,
    &SettingsStore::MoveSensitivity,  &SettingsStore::Param20,
    &SettingsStore::Param21,          &SettingsStore::Param22,
    &SettingsStore::ReservedC,        &SettingsStore::Ambient,
    &SettingsStore::Diffuse,          &SettingsStore::Specular,
    &SettingsStore::Reflective,       &SettingsStore::Shininess,
    &SettingsStore::Cutoff,           &SettingsStore::Exponent,
};

constexpr int FirstFloatWord = 1 + int(sizeof IntWords / sizeof IntWords[0]);
static_assert(FirstFloatWord == 18, "the integer words end at word 17");
static_assert(FirstFloatWord + int(sizeof FloatWords / sizeof FloatWords[0]) == SettingsStore::WordCount,
              "every word of the file has its field");

constexpr int MaxPathBytes = 80;

void PutWord(unsigned char* at, uint32_t word) {
    at[0] = static_cast<unsigned char>(word);
    at[1] = static_cast<unsigned char>(word >> 8);
    at[2] = static_cast<unsigned char>(word >> 16);
    at[3] = static_cast<unsigned char>(word >> 24);
}

uint32_t GetWord(const unsigned char* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

bool BuildFileName(char (&path)[MaxPathBytes], const char* baseName) {
    const int length = std::snprintf(path, sizeof path, "%s.pref", baseName);
    return length > 0 && length < MaxPathBytes;
}

bool WriteAll(int fd, const unsigned char* bytes, size_t count) {
    while (count > 0) {
        const ssize_t written = write(fd, bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        count -= size_t(written);
    }
    return true;
}

// Writes the whole file beside the old one and renames it into place, so that a crash or a full disk never
// leaves a truncated file behind. A file the user made read-only is left alone.
bool ReplaceFile(const char* path, const unsigned char* bytes, size_t count) {
    mode_t mode;
    struct stat old;
    if (stat(path, &old) == 0) {
        if (!S_ISREG(old.st_mode) || access(path, W_OK) != 0)
            return false;
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }

    char temporary[MaxPathBytes + 16];
    std::snprintf(temporary, sizeof temporary, "%s.tmpXXXXXX", path);
    const int fd = mkstemp(temporary);
    if (fd < 0)
        return false;
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes, count) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary, path) == 0;
    if (!ok)
        unlink(temporary);
    return ok;
}

} // namespace

void SettingsStore::Encode(unsigned char (&bytes)[FileBytes]) const {
    PutWord(bytes, FileTag);
    int word = 1;
    for (IntField field : IntWords)
        PutWord(bytes + 4 * word++, static_cast<uint32_t>(this->*field));
    for (FloatField field : FloatWords) {
        uint32_t bits;
        std::memcpy(&bits, &(this->*field), sizeof bits);
        PutWord(bytes + 4 * word++, bits);
    }
}

void SettingsStore::Decode(const unsigned char (&bytes)[FileBytes]) {
    Tag = GetWord(bytes);
    int word = 1;
    for (IntField field : IntWords)
        this->*field = static_cast<int>(GetWord(bytes + 4 * word++));
    for (FloatField field : FloatWords) {
        const uint32_t bits = GetWord(bytes + 4 * word++);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        // A NaN or infinity would poison every animation that reads the field for the rest of the run.
        if (std::isfinite(value))
            this->*field = value;
    }
}

int SettingsStore::Save(const char* baseName) const {
    char path[MaxPathBytes];
    if (!BuildFileName(path, baseName))
        return 1;
    unsigned char bytes[FileBytes];
    Encode(bytes);
    return ReplaceFile(path, bytes, sizeof bytes) ? 0 : 1;
}

int SettingsStore::Load(const char* baseName) {
    char path[MaxPathBytes];
    if (!BuildFileName(path, baseName))
        return 1;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return 1;
    // Start from the record as it stands, so that a short file replaces only the bytes it holds. Every file
    // this program has written begins with the tag: a file that does not is someone else's, and is refused.
    unsigned char bytes[FileBytes];
    Encode(bytes);
    const std::size_t read = std::fread(bytes, 1, sizeof bytes, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || read < 4 || GetWord(bytes) != FileTag)
        return 1;
    Decode(bytes);
    return 0;
}

void SettingsStore::RestoreDefaults() {
    const int cameraMode = CameraMode;
    const int savedN = SavedN;
    const int savedN2 = SavedN2;
    *this = SettingsStore();
    CameraMode = cameraMode;
    SavedN = savedN;
    SavedN2 = savedN2;
}

float ScaledSetting(float value, double factor) {
    const double product = double(value) * factor;
    return product >= -double(FLT_MAX) && product <= double(FLT_MAX) ? float(product) : value;
}
