// The preferences file Tovi.pref: 46 little-endian words, the tag and then every field at offset 4 x word,
// the ints before the floats, in the order the settings are listed.

#include "support/Bytes.h"
#include "support/ScratchFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace support;
using S = SettingsStore;

// Words 1 to 17 and 18 to 45, in file order.
constexpr int S::*IntFields[] = {
    &S::Fov,        &S::FullScreen,  &S::Letterbox,   &S::Tesselation, &S::Universe,    &S::ScreenClear,
    &S::SpotLights, &S::Textures,    &S::PolygonMode, &S::CameraMode,  &S::OptionIndex, &S::ImageOptionIndex,
    &S::FpsClock,   &S::ReservedInt, &S::DepthCueFog, &S::SavedN,      &S::SavedN2};
constexpr float S::*FloatFields[] = {
    &S::RotateSpeed,      &S::MoveSpeed,       &S::CameraZ,      &S::ObjectSize,    &S::ReservedA,
    &S::ReservedB,        &S::MainSpeed,       &S::ArcThickness, &S::MotionDamping, &S::TextureMagnification,
    &S::FogStart,         &S::FogEnd,          &S::BumpResponse, &S::FadeEffect,    &S::LightRotateSpeed,
    &S::MouseSensitivity, &S::MoveSensitivity, &S::Param20,      &S::Param21,       &S::Param22,
    &S::ReservedC,        &S::Ambient,         &S::Diffuse,      &S::Specular,      &S::Reflective,
    &S::Shininess,        &S::Cutoff,          &S::Exponent};

TEST(SettingsFileTest, EveryFieldIsSavedAtItsOffsetAndLoadedBackIntoIt) {
    ScratchFolder scratch;
    // (The words of the defaults are read in the end-to-end run, from the file the program saves.)
    // Every field with a value no other word holds (word n: 1000 + n, or n + 0.25 as a float), and the file
    // the record must be saved as.
    std::vector<PrefField> fields;
    S settings;
    for (int word = 1; word < 46; ++word) {
        const bool isFloat = word >= 18;
        const double value = isFloat ? word + 0.25 : 1000 + word;
        if (isFloat)
            settings.*FloatFields[word - 18] = float(value);
        else
            settings.*IntFields[word - 1] = int(value);
        fields.push_back({4 * word, value, isFloat});
    }
    S loaded;
    settings.Tag = 0; // the file's first word is the tag whatever the record holds
    ASSERT_EQ(settings.Save("Tovi"), 0);
    EXPECT_EQ(ReadFile("Tovi.pref"), PrefsRecord(fields));
    ASSERT_EQ(loaded.Load("Tovi"), 0);
    EXPECT_EQ(RecordBytes(loaded), RecordBytes(settings));

    // 100 bytes: words 0 to 24 from the file, the rest as they were; a word that is no number is skipped.
    Bytes shortFile = PrefsRecord(fields);
    shortFile.resize(100);
    PutAt(shortFile, 84, 0x7FC00000); // ObjectSize NaN
    WriteFile("Tovi.pref", shortFile);
    S target;
    target.ObjectSize = 2.0f;
    target.ArcThickness = 3.0f;
    target.Exponent = 4.0f;
    ASSERT_EQ(target.Load("Tovi"), 0);
    EXPECT_EQ(std::make_tuple(target.Fov, target.MainSpeed, target.ObjectSize, target.ArcThickness,
                              target.Exponent),
              std::make_tuple(1001, 24.25f, 2.0f, 3.0f, 4.0f));
}

TEST(SettingsFileTest, FailuresReturnOneAndChangeNothing) {
    ScratchFolder scratch;
    S settings;
    settings.Fov = 33;
    EXPECT_EQ(settings.Load("Tovi"), 1); // no file
    // Files that are not the program's, without its tag: text, random bytes, three bytes of the tag.
    Bytes random = PrefsRecord({});
    for (std::size_t at = 0; at < random.size(); ++at)
        random[at] = static_cast<unsigned char>(at * 37 + 11);
    for (const Bytes& foreign : {Bytes{'h', 'e', 'l', 'l', 'o', '\n'}, random, Bytes{0xFC, 0x45, 0x42}}) {
        WriteFile("Other.pref", foreign);
        EXPECT_EQ(settings.Load("Other"), 1);
        EXPECT_EQ(ReadFile("Other.pref"), foreign);
    }
    std::filesystem::remove("Other.pref");
    std::filesystem::create_directory("Tovi.pref");
    EXPECT_EQ(settings.Load("Tovi"), 1);
    EXPECT_EQ(settings.Save("Tovi"), 1);
    EXPECT_EQ(settings.Fov, 33);

    // A failed save keeps the old file whole and leaves nothing beside it, nor does a name whose path does
    // not fit 80 bytes (75 characters and ".pref"). A new file takes the mode the umask leaves, and a save
    // keeps it.
    const mode_t mask = umask(027);
    ASSERT_EQ(SettingsStore().Save("Old"), 0);
    umask(mask);
    EXPECT_EQ(settings.Save("missing/Old"), 1);
    EXPECT_EQ(settings.Save(std::string(75, 'x').c_str()), 1);
    EXPECT_EQ(WordAt(ReadFile("Old.pref"), 4), 110u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2);
    ASSERT_EQ(settings.Save("Old"), 0);
    struct stat info {};
    stat("Old.pref", &info);
    EXPECT_EQ(std::make_tuple(info.st_mode & 0777, WordAt(ReadFile("Old.pref"), 4)),
              std::make_tuple(0640u, 33u));
}

} // namespace
