// Scratch folders for the Windows tests: a fresh empty folder, and the same made the current
// directory (where the history file goes) for the length of a test.
#pragma once

#include <windows.h>

#include <string>

// A new empty folder under the temporary directory, removed with its files at the end; path()
// is empty when no folder could be made.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const char* name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// A TempFolder that is the current directory while this lives; the previous one comes back.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // False when the folder could not be made or entered.
    bool entered() const { return entered_; }
    const TempFolder& folder() const { return folder_; }
    const std::string& path() const { return folder_.path(); }
    std::string File(const char* name) const { return folder_.File(name); }

private:
    TempFolder folder_;
    char previous_[MAX_PATH];
    bool entered_;
};

// Reads a whole file; empty when it does not exist. Others may go on writing or deleting it.
std::string ReadWholeFile(const std::string& path);

// Makes path a file of exactly these bytes with these attributes, replacing any file there, hidden
// or not; false when it could not.
bool WriteWholeFile(const std::string& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL);

// The user's local application data folder, as the program finds it.
std::string LocalAppDataFolder();
