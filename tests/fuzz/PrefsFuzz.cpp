// Arbitrary bytes through the preferences loader, under the address and undefined-behaviour sanitizers:
// as a file image handed to Decode over the defaults, and as a preferences file of any length read by Load
// over another record. Besides memory faults it stops when the record that comes back is not the
// documented one: every integer word as the file holds it, every float word as the file holds it when that
// is a finite number and as it was otherwise, the words past the file's end and past the 184th byte
// untouched; when a record does not survive its own file image; and when a key step takes a loaded value
// out of the finite.

#include "app/Settings.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using Image = unsigned char[SettingsStore::FileBytes];

// The file's base name; the file goes when the run ends.
const std::string Base =
    (std::filesystem::temp_directory_path() / ("tovi-prefs-" + std::to_string(getpid()))).string();

void Check(bool ok) {
    if (!ok)
        std::abort();
}

// `now` is `old` with the file image `file` laid over it by the loader's rules.
void CheckOverlay(const SettingsStore& old, const Image& file, const SettingsStore& now) {
    Image oldBytes, nowBytes;
    old.Encode(oldBytes);
    now.Encode(nowBytes);
    for (int at = 4; at < SettingsStore::FileBytes; at += 4) {
        float value;
        std::memcpy(&value, file + at, 4);
        const bool taken = at < 72 || std::isfinite(value); // words 18 on are floats
        Check(std::memcmp(nowBytes + at, taken ? file + at : oldBytes + at, 4) == 0);
        std::memcpy(&value, nowBytes + at, 4);
        for (double factor : {0.9, 1.111111, 0.95, 1.055555, 1.05263, 30.0}) // every multiplying key
            Check(at < 72 || std::isfinite(ScaledSetting(value, factor)));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit([] { std::remove((Base + ".pref").c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SettingsStore defaults;
    Image image, again;
    defaults.Encode(image);
    std::memcpy(image, data, size < sizeof image ? size : sizeof image);
    SettingsStore decoded = defaults, copy;
    decoded.Decode(image);
    CheckOverlay(defaults, image, decoded);
    decoded.Encode(image);
    copy.Decode(image);
    copy.Encode(again);
    Check(std::memcmp(image, again, sizeof image) == 0);

    // The input as a whole file, loaded over a record of which every word differs from the input's: any
    // length loads, and only its first 184 bytes count.
    for (unsigned char& byte : image)
        byte ^= 1;
    SettingsStore base = decoded;
    base.Decode(image);
    std::FILE* file = std::fopen((Base + ".pref").c_str(), "wb");
    Check(file && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0);
    SettingsStore loaded = base;
    Check(loaded.Load(Base.c_str()) == 0);
    base.Encode(image);
    std::memcpy(image, data, size < sizeof image ? size : sizeof image);
    CheckOverlay(base, image, loaded);
    return 0;
}
