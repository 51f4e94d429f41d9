// Arbitrary bytes as a preferences file of any length, loaded over a record of which every word differs
// from the file's, under the address and undefined-behaviour sanitizers. Besides memory faults it stops
// when the record that comes back is not the documented one: a file that does not begin with the tag
// refused and the record unchanged; otherwise every integer word as the file holds it,
// every float word as the file holds it when that is a finite number and as it was otherwise, the words
// past the file's end and past the 184th byte untouched; and when a key step takes a loaded value out of
// the finite.

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

// The file's base name; the file goes when the run ends.
const std::string Base =
    (std::filesystem::temp_directory_path() / ("tovi-prefs-" + std::to_string(getpid()))).string();

void Check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit([] { std::remove((Base + ".pref").c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t held = size < SettingsStore::FileBytes ? size : SettingsStore::FileBytes;
    unsigned char file[SettingsStore::FileBytes], old[SettingsStore::FileBytes],
        now[SettingsStore::FileBytes];
    // The record loaded over: the file's image on the defaults, every byte flipped.
    SettingsStore().Encode(file);
    std::memcpy(file, data, held);
    for (unsigned char& byte : file)
        byte ^= 1;
    SettingsStore loaded;
    loaded.Decode(file);
    loaded.Encode(old);
    std::memcpy(file, old, sizeof file);
    std::memcpy(file, data, held);

    std::FILE* stream = std::fopen((Base + ".pref").c_str(), "wb");
    Check(stream && std::fwrite(data, 1, size, stream) == size && std::fclose(stream) == 0);
    // A file without the tag is someone else's: refused, the record as it was.
    const bool tagged = size >= 4 && std::memcmp(data, "\xFC\x45\x42\x00", 4) == 0;
    Check(loaded.Load(Base.c_str()) == (tagged ? 0 : 1));
    if (!tagged)
        std::memcpy(file, old, sizeof file);
    loaded.Encode(now);
    for (int at = 4; at < SettingsStore::FileBytes; at += 4) {
        float value;
        std::memcpy(&value, file + at, 4);
        const bool taken = at < 72 || std::isfinite(value); // words 18 on are floats
        Check(std::memcmp(now + at, taken ? file + at : old + at, 4) == 0);
        std::memcpy(&value, now + at, 4);
        for (double factor : {0.9, 1.111111, 0.95, 1.055555, 1.05263, 30.0}) // every multiplying key
            Check(at < 72 || std::isfinite(ScaledSetting(value, factor)));
    }
    return 0;
}
