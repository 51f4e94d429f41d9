// Arbitrary bytes through the preferences loader, under the address and undefined-behaviour sanitizers:
// first as a file image handed to Decode, then as a preferences file of any length read by Load over the
// decoded record. Besides memory faults it stops when the record that comes back is not the documented
// one: every integer word as the file holds it, every float word as the file holds it when that is a
// finite number and as it was otherwise, the bytes past the file's end and past the 184th untouched.

#include "app/Settings.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

using Image = unsigned char[SettingsStore::FileBytes];

constexpr int FirstFloatWord = 18;

// The factors of every multiplying key and of the fog limit.
constexpr double KeyFactors[] = {0.9, 1.111111, 0.95, 1.055555, 1.05263, 30.0};

// A folder of its own for the file, removed when the run ends.
std::string Folder;
std::string BaseName;

void RemoveFolder() {
    std::remove((BaseName + ".pref").c_str());
    rmdir(Folder.c_str());
}

float FloatOf(const unsigned char* word) {
    const std::uint32_t bits = std::uint32_t(word[0]) | std::uint32_t(word[1]) << 8 |
                               std::uint32_t(word[2]) << 16 | std::uint32_t(word[3]) << 24;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// `now` is `old` with the file image laid over it by the loader's rules.
void ExpectOverlay(const SettingsStore& old, const Image& file, const SettingsStore& now) {
    Image oldBytes, nowBytes;
    old.Encode(oldBytes);
    now.Encode(nowBytes);
    for (int word = 1; word < SettingsStore::WordCount; ++word) {
        const unsigned char* fileWord = file + 4 * word;
        const bool taken = word < FirstFloatWord || std::isfinite(FloatOf(fileWord));
        if (std::memcmp(nowBytes + 4 * word, taken ? fileWord : oldBytes + 4 * word, 4) != 0)
            std::abort();
        // A loaded value survives a key held down: a step never leaves a finite number.
        if (word >= FirstFloatWord)
            for (double factor : KeyFactors)
                if (!std::isfinite(ScaledSetting(FloatOf(nowBytes + 4 * word), factor)))
                    std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern = std::string(temporary && temporary[0] ? temporary : "/tmp") + "/tovi-prefs-XXXXXX";
    if (!mkdtemp(pattern.data()))
        std::abort();
    Folder = pattern;
    BaseName = Folder + "/Tovi";
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The leading bytes as a file image over the defaults.
    const SettingsStore defaults;
    Image image;
    defaults.Encode(image);
    std::memcpy(image, data, size < sizeof image ? size : sizeof image);
    SettingsStore decoded = defaults;
    decoded.Decode(image);
    ExpectOverlay(defaults, image, decoded);

    // A decoded record gives back the same record through its file image.
    Image again;
    decoded.Encode(again);
    SettingsStore copy;
    copy.Decode(again);
    Image copyBytes;
    copy.Encode(copyBytes);
    if (std::memcmp(again, copyBytes, sizeof again) != 0)
        std::abort();

    // Every input as a whole file, read over the decoded record: a file of any length loads, and only its
    // first 184 bytes count.
    const std::string path = BaseName + ".pref";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    SettingsStore loaded = decoded;
    if (loaded.Load(BaseName.c_str()) != 0)
        std::abort();
    Image overLoaded;
    decoded.Encode(overLoaded);
    std::memcpy(overLoaded, data, size < sizeof overLoaded ? size : sizeof overLoaded);
    ExpectOverlay(decoded, overLoaded, loaded);
    return 0;
}
