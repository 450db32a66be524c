// Runs the application shell in-process for a test: a fresh temporary folder as the current
// directory (where the history file goes), the real resources, classes and main window.
#pragma once

#include <windows.h>

#include <string>

// Dispatches every message already queued for this thread; never waits. Returns the code of a
// quit message met on the way, or -1 when there was none.
int PumpPendingMessages();

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

class ShellSession {
public:
    ShellSession();
    // Destroys the main window if it still exists, takes the quit message off the queue and
    // unregisters the classes, so the next session starts clean.
    ~ShellSession();
    ShellSession(const ShellSession&) = delete;
    ShellSession& operator=(const ShellSession&) = delete;

    HWND main() const { return main_; }
    const TempFolder& folder() const { return folder_; }

private:
    TempFolder folder_;
    char previousDirectory_[MAX_PATH];
    HWND main_;
};

// Reads a whole file; empty when it does not exist.
std::string ReadWholeFile(const std::string& path);
