// The run: start-up, the two window classes, the main window and the message loop.
#pragma once

#include <windows.h>

// Registers "NORMALDLG" (the version window's class) and "NORMAL0" (the main window's).
void RegisterWindowClasses();

// Creates the main window; its creation handler records it as MainWindow().
HWND CreateMainWindow();

// Runs the message loop until the quit message; returns the process's exit code. The start-up
// benchmark's second floor runs its window in the program's own loop.
int RunMessageLoop();

// The end of a run whose message retrieval failed: the main window, if it still exists, is
// destroyed so the history is saved, and the exit code reports the failure (1).
int EndAfterFailedRetrieval();

// The whole run: start-up, the loop, and the exit code (0 after a normal end, and for a second
// copy in a folder that a running copy already has). A history that could not be saved is
// reported after the loop.
int RunClipwren();
