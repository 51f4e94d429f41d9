#pragma once

// Finds the program's images and sounds wherever they were put: the working directory, beside the
// program, in the share/tovi folder next to the program's bin folder (an install into any prefix), or
// in the data folder chosen when the program was built. Each name is searched once and its path kept,
// so later lookups (a sound played in any frame) read no disk and allocate nothing.
class DataFiles {
public:
    static constexpr int MaxNames = 32;     // distinct names one program asks for
    static constexpr int MaxNameBytes = 80; // with the terminating zero
    static constexpr int MaxPathBytes = 1024;

    // programFolder: the folder of the running program, "" when unknown; installedFolder: the data
    // folder chosen at build time, "" for none.
    DataFiles(const char* programFolder, const char* installedFolder);

    // The path to open `name` by: the name itself when the working directory holds it, else the first
    // search folder that holds a regular file of that name (a directory does not count). A name found
    // nowhere is reported once on stderr, ending with `consequence` (what the user will see), and comes
    // back as it is. The result stays valid as long as this object. A name too long to keep, or one more
    // than MaxNames, comes back as it is without a search.
    const char* Find(const char* name, const char* consequence);

private:
    static constexpr int MaxFolders = 3;

    struct Entry {
        char Name[MaxNameBytes];
        char Path[MaxPathBytes];
    };

    void AddFolder(const char* folder);

    char Folders[MaxFolders][MaxPathBytes] = {};
    int FolderCount = 0;
    Entry Entries[MaxNames] = {};
    int EntryCount = 0;
};

// The program's own search, with the folders of the running program and of the build.
const char* FindDataFile(const char* name, const char* consequence);
