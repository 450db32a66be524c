// Runs the application shell in-process for a test: a fresh temporary folder as the current
// directory (where the history file goes), the real resources, classes and main window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "support/ScratchFolder_win.h"

// Dispatches every message already queued for this thread; never waits. Returns the code of a
// quit message met on the way, or -1 when there was none.
int PumpPendingMessages();

// Dispatches this thread's messages as they come until done() is true; false when timeoutMs
// passed first (a hang guard, not a measurement).
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

class ShellSession {
public:
    ShellSession();
    // prepare runs in the fresh folder, as the current directory, before the main window (and
    // so the history) is created: a history file to find, a file held by another program.
    explicit ShellSession(const std::function<void(const TempFolder&)>& prepare);
    // Destroys the main window if it still exists, takes the quit message off the queue and
    // unregisters the classes, so the next session starts clean.
    ~ShellSession();
    ShellSession(const ShellSession&) = delete;
    ShellSession& operator=(const ShellSession&) = delete;

    HWND main() const { return main_; }
    const TempFolder& folder() const { return scratch_.folder(); }

private:
    ScratchDirectory scratch_;
    HWND main_;
};

