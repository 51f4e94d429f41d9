#include "app/DataFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// An install-like tree: the working directory, prefix/bin (the program's folder), prefix/share/tovi and
// the folder the build chose. The test runs inside work/.
class DataFilesTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = testing::TempDir() + "tovi-datafiles-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        Root = pattern;
        for (const char* folder : {"work", "prefix/bin", "prefix/share/tovi", "built"})
            fs::create_directories(Root / folder);
        Saved = fs::current_path();
        fs::current_path(Root / "work");
        Files = std::make_unique<DataFiles>((Root / "prefix/bin").c_str(), (Root / "built").c_str());
    }

    void TearDown() override {
        fs::current_path(Saved);
        fs::remove_all(Root);
    }

    void Put(const char* folder, const char* name) { std::ofstream(Root / folder / name) << "data"; }

    fs::path Root;
    fs::path Saved;
    std::unique_ptr<DataFiles> Files;
};

} // namespace

TEST_F(DataFilesTest, SearchesWorkingDirectoryThenBesideProgramThenShareThenBuildFolder) {
    Put("work", "everywhere.bmp");
    Put("prefix/bin", "everywhere.bmp");
    Put("prefix/share/tovi", "everywhere.bmp");
    Put("built", "everywhere.bmp");
    Put("prefix/bin", "beside.bmp");
    Put("prefix/share/tovi", "beside.bmp");
    Put("prefix/share/tovi", "shared.wav");
    Put("built", "shared.wav");
    Put("built", "built.bmp");
    // A directory of the name is passed over.
    fs::create_directory(Root / "work/folder.bmp");
    fs::create_directory(Root / "prefix/bin/folder.bmp");
    Put("prefix/share/tovi", "folder.bmp");

    const struct {
        const char* Name;
        std::string Path;
    } cases[] = {
        {"everywhere.bmp", "everywhere.bmp"},
        {"beside.bmp", (Root / "prefix/bin/beside.bmp").string()},
        {"shared.wav", (Root / "prefix/share/tovi/shared.wav").string()},
        {"built.bmp", (Root / "built/built.bmp").string()},
        {"folder.bmp", (Root / "prefix/share/tovi/folder.bmp").string()},
    };
    testing::internal::CaptureStderr();
    for (const auto& c : cases)
        EXPECT_EQ(Files->Find(c.Name, "unused"), c.Path) << c.Name;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    // A name is searched once: its path stays even when the file goes away.
    fs::remove(Root / "prefix/bin/beside.bmp");
    EXPECT_EQ(Files->Find("beside.bmp", "unused"), (Root / "prefix/bin/beside.bmp").string());
}

TEST_F(DataFilesTest, NameFoundNowhereIsReportedOnceAndUsedAsItIs) {
    fs::create_directory(Root / "built/absent.wav");
    testing::internal::CaptureStderr();
    EXPECT_STREQ(Files->Find("absent.wav", "that sound stays silent"), "absent.wav");
    EXPECT_STREQ(Files->Find("absent.wav", "that sound stays silent"), "absent.wav");
    const std::string expected = "Tovi: cannot find absent.wav (looked in the working directory, " +
                                 (Root / "prefix/bin").string() + ", " +
                                 (Root / "prefix/share/tovi").string() + ", " + (Root / "built").string() +
                                 "); that sound stays silent.\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), expected);
}
