// Where the program finds its images and sounds: the working directory, beside the program, the share/tovi
// folder of its prefix, then the folder the build chose.

#include "app/DataFiles.h"
#include "support/ScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

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
