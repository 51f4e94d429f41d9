// The preferences file Tovi.pref: 46 little-endian words, the tag and then every field at offset 4 x word,
// the ints before the floats, in the order the settings are listed. And where the program finds its images
// and sounds: the working directory, beside the program, the share/tovi folder of its prefix, then the
// folder the build chose.

#include "app/DataFiles.h"
#include "support/Bytes.h"
#include "support/ScratchFolder.h"

#include <cmath>
#include <filesystem>
#include <fstream>
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

namespace fs = std::filesystem;

TEST(DataFilesTest, SearchesTheFoldersInTurnAndReportsANameFoundNowhereOnce) {
    support::ScratchFolder scratch; // the working directory
    const fs::path root = scratch.Path();
    DataFiles files((root / "prefix/bin").c_str(), (root / "built").c_str());
    // File n (0 to 3) lies in folders n to 3 and is found in folder n. File 4 is a folder in the first two
    // places, which are passed over, and a file in the third.
    const char* const folders[] = {".", "prefix/bin", "prefix/share/tovi", "built"};
    auto name = [](int n) { return std::to_string(n) + ".bmp"; };
    for (int n = 0; n < 4; ++n)
        for (int folder = n; folder < 4; ++folder) {
            fs::create_directories(folders[folder]);
            std::ofstream(fs::path(folders[folder]) / name(n)) << "data";
        }
    fs::create_directories("4.bmp");
    fs::create_directories("prefix/bin/4.bmp");
    std::ofstream("prefix/share/tovi/4.bmp") << "data";
    testing::internal::CaptureStderr();
    const fs::path found[] = {"0.bmp", root / "prefix/bin/1.bmp", root / "prefix/share/tovi/2.bmp",
                              root / "built/3.bmp", root / "prefix/share/tovi/4.bmp"};
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(fs::path(files.Find(name(n).c_str(), "unused")), found[n]);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    // Each name is searched once; a name found nowhere comes back as it is, reported once.
    fs::remove("prefix/bin/1.bmp");
    EXPECT_EQ(fs::path(files.Find("1.bmp", "unused")), root / "prefix/bin/1.bmp");
    testing::internal::CaptureStderr();
    EXPECT_STREQ(files.Find("absent.wav", "that sound stays silent"), "absent.wav");
    EXPECT_STREQ(files.Find("absent.wav", "that sound stays silent"), "absent.wav");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Tovi: cannot find absent.wav (looked in the working directory, " +
                  (root / "prefix/bin").string() + ", " + (root / "prefix/share/tovi").string() + ", " +
                  (root / "built").string() + "); that sound stays silent.\n");
}

} // namespace
