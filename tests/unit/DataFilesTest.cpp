// Where the program finds its images and sounds: the working directory, beside the program, the share/tovi
// folder of its prefix, then the folder the build chose.

#include "app/DataFiles.h"
#include "support/ScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(DataFilesTest, SearchesTheFoldersInTurnAndReportsANameFoundNowhereOnce) {
    support::ScratchFolder scratch; // the working directory
    const fs::path root = scratch.Path();
    DataFiles files((root / "prefix/bin").c_str(), (root / "built").c_str());
    const struct {
        const char* Name;
        const char* Folders[4]; // where the name is a file; a directory of the name is passed over
        const char* FoundIn;
    } cases[] = {
        {"a.bmp", {".", "prefix/bin", "prefix/share/tovi", "built"}, "."},
        {"b.bmp", {"prefix/bin", "prefix/share/tovi", "built"}, "prefix/bin"},
        {"c.wav", {"prefix/share/tovi", "built"}, "prefix/share/tovi"},
        {"d.bmp", {"built"}, "built"},
        {"e.bmp", {"prefix/share/tovi"}, "prefix/share/tovi"},
    };
    fs::create_directories("prefix/bin/e.bmp");
    fs::create_directory("e.bmp");
    for (const auto& c : cases)
        for (const char* folder : c.Folders)
            if (folder) {
                fs::create_directories(folder);
                std::ofstream(fs::path(folder) / c.Name) << "data";
            }
    testing::internal::CaptureStderr();
    for (const auto& c : cases)
        EXPECT_EQ(fs::path(files.Find(c.Name, "unused")),
                  c.FoundIn == std::string(".") ? fs::path(c.Name) : root / c.FoundIn / c.Name);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    // Each name is searched once; a name found nowhere comes back as it is, reported once.
    fs::remove("prefix/bin/b.bmp");
    EXPECT_EQ(fs::path(files.Find("b.bmp", "unused")), root / "prefix/bin/b.bmp");
    testing::internal::CaptureStderr();
    EXPECT_STREQ(files.Find("absent.wav", "that sound stays silent"), "absent.wav");
    EXPECT_STREQ(files.Find("absent.wav", "that sound stays silent"), "absent.wav");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Tovi: cannot find absent.wav (looked in the working directory, " +
                  (root / "prefix/bin").string() + ", " + (root / "prefix/share/tovi").string() + ", " +
                  (root / "built").string() + "); that sound stays silent.\n");
}

} // namespace
