// Scratch folders for the Windows tests: a fresh empty folder, and the same made the current
// directory (where the history file goes) for the length of a test; and the files in them, read
// and written whole or held open as another program would.
#pragma once

#include <windows.h>

#include <string>

#include "base/Guards_win.h"

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

// Reads a whole file; empty when it cannot be opened. By default others may go on writing or
// deleting it; a narrower share makes the read fail while someone holds the file for writing.
std::string ReadWholeFile(const std::string& path,
                          DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);

// Makes path a file of exactly these bytes with these attributes, replacing any file there, hidden
// or not; false when it could not.
bool WriteWholeFile(const std::string& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL);

// A file held open by "another program", reading: sharing it with readers only (FILE_SHARE_READ),
// so that it can be neither written nor replaced, or not sharing it at all (0). It lets go when it
// goes, so that a failed assertion leaves no handle behind to block the next test.
class HeldFile {
public:
    HeldFile(const std::string& path, DWORD share)
        : file_(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}

    bool holding() const { return file_.valid(); }
    void LetGo() { file_.Close(); }

private:
    KernelHandle file_;
};

// The user's local application data folder, as the program finds it.
std::string LocalAppDataFolder();
