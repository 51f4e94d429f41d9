#include "app/Settings.h"
#include "support/Bytes.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

using namespace support;

// Each test works in a folder of its own, where "Tovi" names Tovi.pref.
class SettingsFileTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tovi-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        Folder = pattern;
        Base = Folder + "/Tovi";
        Path = Base + ".pref";
    }
    void TearDown() override { std::system(("rm -rf '" + Folder + "'").c_str()); }

    std::string Folder, Base, Path;
};

} // namespace

TEST_F(SettingsFileTest, DefaultsSaveAsTheDocumentedBytes) {
    SettingsStore settings;
    settings.Tag = 0; // whatever the record holds, the file's first word is the tag
    ASSERT_EQ(settings.Save(Base.c_str()), 0);
    const Bytes bytes = ReadFile(Path);
    ASSERT_EQ(bytes.size(), 184u);

    const Bytes head{0xFC, 0x45, 0x42, 0x00, 0x6E, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0x28, 0, 0, 0};
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 20), head);
    EXPECT_EQ(Bytes(bytes.begin() + 84, bytes.begin() + 88), (Bytes{0x33, 0x33, 0x33, 0x3F}));   // ObjectSize
    EXPECT_EQ(Bytes(bytes.begin() + 124, bytes.begin() + 128), (Bytes{0x9A, 0x99, 0x99, 0x3E})); // Fade
    EXPECT_EQ(Bytes(bytes.begin() + 180, bytes.end()), (Bytes{0x00, 0x00, 0x80, 0x3F}));         // Exponent
    EXPECT_EQ(WordAt(bytes, 40), 1u);                                                            // CameraMode
    EXPECT_EQ(WordAt(bytes, 64), 2u);                                                            // SavedN
    EXPECT_EQ(WordAt(bytes, 68), 3u);                                                            // SavedN2
}

TEST_F(SettingsFileTest, EveryFieldSurvivesASaveAndLoad) {
    SettingsStore saved;
    saved.Fov = -7, saved.Letterbox = 99, saved.Tesselation = 500, saved.PolygonMode = 7,
    saved.CameraMode = 2;
    saved.SavedN2 = std::numeric_limits<int>::min();
    saved.RotateSpeed = 0.0f, saved.CameraZ = -0.35f, saved.Shininess = 127.5f, saved.Exponent = 3.25f;
    ASSERT_EQ(saved.Save(Base.c_str()), 0);

    SettingsStore loaded;
    ASSERT_EQ(loaded.Load(Base.c_str()), 0);
    EXPECT_EQ(RecordBytes(loaded), RecordBytes(saved)); // values are used as they are
}

// Every length over the defaults is DamagedInputTest's; here the values the file does not replace are not
// the defaults.
TEST_F(SettingsFileTest, ShortFileReplacesOnlyItsBytesAndNonFiniteFloatsKeepThePreviousValues) {
    SettingsStore source;
    source.Fov = 45;
    source.MainSpeed = 2.5f; // word 24, the last inside the first 100 bytes
    Bytes bytes = RecordBytes(source);
    PutFloat(bytes, 80, std::numeric_limits<float>::quiet_NaN()); // CameraZ
    PutFloat(bytes, 84, std::numeric_limits<float>::infinity());  // ObjectSize
    PutFloat(bytes, 88, -std::numeric_limits<float>::infinity()); // ReservedA
    bytes.resize(100);
    WriteFile(Path, bytes);

    SettingsStore target;
    target.CameraZ = 1.5f, target.ObjectSize = 0.9f, target.ReservedA = 0.6f;
    target.ArcThickness = 0.5f, target.Exponent = 9.0f; // words past the file's end
    ASSERT_EQ(target.Load(Base.c_str()), 0);            // still a success
    EXPECT_EQ(std::make_tuple(target.Fov, target.MainSpeed, target.CameraZ, target.ObjectSize,
                              target.ReservedA, target.ArcThickness, target.Exponent),
              std::make_tuple(45, 2.5f, 1.5f, 0.9f, 0.6f, 0.5f, 9.0f));

    // An empty file changes nothing, and loads.
    WriteFile(Path, {});
    const Bytes before = RecordBytes(target);
    EXPECT_EQ(target.Load(Base.c_str()), 0);
    EXPECT_EQ(RecordBytes(target), before);
}

TEST_F(SettingsFileTest, LoadFailuresLeaveTheRecordAlone) {
    SettingsStore target;
    target.Fov = 33;
    EXPECT_EQ(target.Load(Base.c_str()), 1); // no file
    ASSERT_EQ(mkdir(Path.c_str(), 0755), 0);
    EXPECT_EQ(target.Load(Base.c_str()), 1); // a directory opens but cannot be read
    const std::string tooLong(100, 'x');
    EXPECT_EQ(target.Load(tooLong.c_str()), 1);
    EXPECT_EQ(target.Fov, 33);
}

TEST_F(SettingsFileTest, FailedSaveReportsItAndKeepsTheOldFile) {
    SettingsStore first;
    first.Fov = 77;
    ASSERT_EQ(first.Save(Base.c_str()), 0);
    const Bytes before = ReadFile(Path);

    SettingsStore second;
    second.Fov = 88;
    EXPECT_EQ(second.Save((Folder + "/missing/Tovi").c_str()), 1);
    EXPECT_EQ(second.Save(std::string(100, 'x').c_str()), 1);

    ASSERT_EQ(mkdir((Folder + "/Dir.pref").c_str(), 0755), 0);
    EXPECT_EQ(second.Save((Folder + "/Dir").c_str()), 1);

    EXPECT_EQ(ReadFile(Path), before);
    // No temporary file is left behind by any of these.
    EXPECT_EQ(std::system(("test $(ls -A '" + Folder + "' | wc -l) -eq 2").c_str()), 0);
}

TEST_F(SettingsFileTest, SaveKeepsTheFilesPermissions) {
    SettingsStore settings;
    ASSERT_EQ(settings.Save(Base.c_str()), 0);
    ASSERT_EQ(chmod(Path.c_str(), 0640), 0);
    settings.Fov = 90;
    ASSERT_EQ(settings.Save(Base.c_str()), 0);
    struct stat info;
    ASSERT_EQ(stat(Path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(WordAt(ReadFile(Path), 4), 90u);
}

TEST(SettingsDefaults, RestoreKeepsOnlyTheCallersFields) {
    SettingsStore settings;
    settings.CameraMode = 2, settings.SavedN = settings.SavedN2 = 0;
    settings.Fov = 5, settings.Exponent = 7.0f, settings.Tesselation = 80;
    settings.RestoreDefaults();
    SettingsStore expected;
    expected.CameraMode = 2, expected.SavedN = expected.SavedN2 = 0;
    EXPECT_EQ(RecordBytes(settings), RecordBytes(expected));
}
