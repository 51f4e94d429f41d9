#include "app/Settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

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

    Bytes ReadFile(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void WriteFile(const std::string& path, const Bytes& bytes) const {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    static uint32_t WordAt(const Bytes& bytes, int word) {
        const unsigned char* at = bytes.data() + 4 * word;
        return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
    }
    static void PutFloat(Bytes& bytes, int word, float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        for (int i = 0; i < 4; ++i)
            bytes[size_t(4 * word + i)] = static_cast<unsigned char>(bits >> (8 * i));
    }

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
    EXPECT_EQ(WordAt(bytes, 10), 1u);                                                            // CameraMode
    EXPECT_EQ(WordAt(bytes, 16), 2u);                                                            // SavedN
    EXPECT_EQ(WordAt(bytes, 17), 3u);                                                            // SavedN2
}

TEST_F(SettingsFileTest, EveryFieldSurvivesASaveAndLoad) {
    SettingsStore saved;
    saved.Fov = -7;
    saved.Letterbox = 99;
    saved.Tesselation = 500;
    saved.PolygonMode = 7;
    saved.CameraMode = 2;
    saved.SavedN2 = std::numeric_limits<int>::min();
    saved.RotateSpeed = 0.0f;
    saved.CameraZ = -0.35f;
    saved.Shininess = 127.5f;
    saved.Exponent = 3.25f;
    ASSERT_EQ(saved.Save(Base.c_str()), 0);

    SettingsStore loaded;
    ASSERT_EQ(loaded.Load(Base.c_str()), 0);
    unsigned char savedBytes[SettingsStore::FileBytes], loadedBytes[SettingsStore::FileBytes];
    saved.Encode(savedBytes);
    loaded.Encode(loadedBytes);
    EXPECT_EQ(0, std::memcmp(savedBytes, loadedBytes, sizeof savedBytes));
    EXPECT_EQ(loaded.Tesselation, 500); // values are used as they are
    EXPECT_EQ(loaded.Letterbox, 99);
    EXPECT_EQ(loaded.Shininess, 127.5f);
}

TEST_F(SettingsFileTest, ShortFileReplacesOnlyTheBytesItHolds) {
    SettingsStore source;
    source.Fov = 45;
    source.MainSpeed = 2.5f;    // word 24, inside the first 100 bytes
    source.ArcThickness = 3.0f; // word 25, outside
    ASSERT_EQ(source.Save(Base.c_str()), 0);
    Bytes bytes = ReadFile(Path);
    bytes.resize(100);
    WriteFile(Path, bytes);

    SettingsStore target;
    target.ArcThickness = 0.5f;
    target.Exponent = 9.0f;
    ASSERT_EQ(target.Load(Base.c_str()), 0); // still a success
    EXPECT_EQ(target.Fov, 45);
    EXPECT_EQ(target.MainSpeed, 2.5f);
    EXPECT_EQ(target.ArcThickness, 0.5f);
    EXPECT_EQ(target.Exponent, 9.0f);

    // Bytes past the 184th are ignored; an empty file changes nothing.
    bytes = ReadFile(Path);
    bytes.resize(100);
    WriteFile(Path, {});
    SettingsStore untouched;
    untouched.Fov = 12;
    EXPECT_EQ(untouched.Load(Base.c_str()), 0);
    EXPECT_EQ(untouched.Fov, 12);
}

TEST_F(SettingsFileTest, NonFiniteFloatsKeepThePreviousValues) {
    SettingsStore source;
    ASSERT_EQ(source.Save(Base.c_str()), 0);
    Bytes bytes = ReadFile(Path);
    PutFloat(bytes, 24, std::numeric_limits<float>::quiet_NaN()); // MainSpeed
    PutFloat(bytes, 21, std::numeric_limits<float>::infinity());  // ObjectSize
    PutFloat(bytes, 31, -std::numeric_limits<float>::infinity()); // FadeEffect
    PutFloat(bytes, 43, 64.0f);                                   // Shininess: a plain value
    WriteFile(Path, bytes);

    SettingsStore target;
    target.MainSpeed = 1.5f;
    target.ObjectSize = 0.9f;
    target.FadeEffect = 0.6f;
    ASSERT_EQ(target.Load(Base.c_str()), 0);
    EXPECT_EQ(target.MainSpeed, 1.5f);
    EXPECT_EQ(target.ObjectSize, 0.9f);
    EXPECT_EQ(target.FadeEffect, 0.6f);
    EXPECT_EQ(target.Shininess, 64.0f);
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
    EXPECT_EQ(WordAt(ReadFile(Path), 1), 90u);
}

TEST(SettingsDefaults, RestoreKeepsOnlyTheCallersFields) {
    SettingsStore settings;
    settings.CameraMode = 2;
    settings.SavedN = 0;
    settings.SavedN2 = 0;
    settings.Fov = 5;
    settings.Exponent = 7.0f;
    settings.Tesselation = 80;
    settings.RestoreDefaults();
    EXPECT_EQ(settings.CameraMode, 2);
    EXPECT_EQ(settings.SavedN, 0);
    EXPECT_EQ(settings.SavedN2, 0);
    EXPECT_EQ(settings.Fov, 110);
    EXPECT_EQ(settings.Exponent, 1.0f);
    EXPECT_EQ(settings.Tesselation, 40);
}
