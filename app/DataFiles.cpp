#include "app/DataFiles.h"

#include "app/Globals.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsRegularFile(const char* path) {
    struct stat info {};
    return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// Bounded copy; false (and the text cut short) when it does not fit.
bool CopyText(char* to, int size, const char* from) {
    return std::snprintf(to, std::size_t(size), "%s", from) < size;
}

// The folder of the running program, from the kernel's link to its file; "" when it cannot be read.
const char* ReadProgramFolder() {
    static char folder[DataFiles::MaxPathBytes];
    const ssize_t length = readlink("/proc/self/exe", folder, sizeof folder - 1);
    if (length <= 0 || length >= ssize_t(sizeof folder) - 1) // unreadable, or perhaps cut short
        return "";
    folder[length] = '\0';
    char* slash = std::strrchr(folder, '/');
    if (!slash)
        return "";
    // A program in / keeps its folder as "/".
    slash[slash == folder ? 1 : 0] = '\0';
    return folder;
}

// TOVI_INSTALLED_DATA_DIR: the data folder of an install into the prefix the build was configured for.
DataFiles ProgramData(ReadProgramFolder(), TOVI_INSTALLED_DATA_DIR);

} // namespace

DataFiles::DataFiles(const char* programFolder, const char* installedFolder) {
    if (programFolder[0] != '\0') {
        AddFolder(programFolder);
        // <prefix>/bin/tovi reads <prefix>/share/tovi: an install works wherever its prefix is.
        char prefix[MaxPathBytes];
        CopyText(prefix, MaxPathBytes, programFolder);
        char* slash = std::strrchr(prefix, '/');
        if (slash)
            *slash = '\0';
        char shared[MaxPathBytes];
        if (std::snprintf(shared, sizeof shared, "%s/share/tovi", prefix) < MaxPathBytes)
            AddFolder(shared);
    }
    AddFolder(installedFolder);
}

void DataFiles::AddFolder(const char* folder) {
    if (folder[0] == '\0' || FolderCount == MaxFolders)
        return;
    // An install into the prefix the build chose finds the same folder twice.
    for (int i = 0; i < FolderCount; ++i)
        if (std::strcmp(Folders[i], folder) == 0)
            return;
    if (CopyText(Folders[FolderCount], MaxPathBytes, folder))
        ++FolderCount;
}

const char* DataFiles::Find(const char* name, const char* consequence) {
    for (int i = 0; i < EntryCount; ++i)
        if (std::strcmp(Entries[i].Name, name) == 0)
            return Entries[i].Path;
    if (std::strlen(name) >= std::size_t(MaxNameBytes) || EntryCount == MaxNames)
        return name;

    Entry& entry = Entries[EntryCount++];
    CopyText(entry.Name, MaxNameBytes, name);
    CopyText(entry.Path, MaxPathBytes, name);
    if (IsRegularFile(name))
        return entry.Path;
    for (int i = 0; i < FolderCount; ++i) {
        const char* separator = Folders[i][std::strlen(Folders[i]) - 1] == '/' ? "" : "/";
        if (std::snprintf(entry.Path, sizeof entry.Path, "%s%s%s", Folders[i], separator, name) <
                MaxPathBytes &&
            IsRegularFile(entry.Path))
            return entry.Path;
    }
    CopyText(entry.Path, MaxPathBytes, name);

    // One line, written at once, so it cannot mix with another program's output.
    char line[MaxFolders * MaxPathBytes + 512];
    int used = std::snprintf(line, sizeof line, "%s: cannot find %s (looked in the working directory",
                             ProgramName, name);
    for (int i = 0; i < FolderCount && used < int(sizeof line); ++i)
        used += std::snprintf(line + used, sizeof line - std::size_t(used), ", %s", Folders[i]);
    if (used < int(sizeof line))
        std::snprintf(line + used, sizeof line - std::size_t(used), "); %s.\n", consequence);
    std::fputs(line, stderr);
    return entry.Path;
}

const char* FindDataFile(const char* name, const char* consequence) {
    return ProgramData.Find(name, consequence);
}
