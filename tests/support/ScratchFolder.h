#pragma once

// A scratch folder: a fresh, empty temporary folder that is the working directory while the object lives
// (the program reads and writes Tovi.pref and looks for its data there). Afterwards the previous working
// directory comes back and the folder goes with everything in it.
//   support::ScratchFolder scratch;   scratch.Path() is its absolute path

#include <cstdlib>
#include <filesystem>
#include <string>

namespace support {

class ScratchFolder {
public:
    ScratchFolder() : Previous(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tovi-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort(); // no temporary folder: nothing can be tested
        Folder = pattern;
        std::filesystem::current_path(Folder);
    }
    ~ScratchFolder() {
        std::filesystem::current_path(Previous);
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return Folder; }

private:
    std::filesystem::path Previous;
    std::filesystem::path Folder;
};

} // namespace support
