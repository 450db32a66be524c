// The run: start-up, the two window classes, the main window and the message loop.
#pragma once

#include <windows.h>

// The record size RegisterClassExA is called with: the full WNDCLASSEXA.
constexpr UINT WindowClassRecordSize = sizeof(WNDCLASSEXA);

// Registers "NORMALDLG" (the version window's class) and "NORMAL0" (the main window's).
void RegisterWindowClasses();

// Creates the main window; its creation handler records it as MainWindow().
HWND CreateMainWindow();

// Shown when the main window cannot be created; returns the exit code for that case, 1.
int ReportNoMainWindow();

// Runs the message loop until the quit message; returns the process's exit code.
int RunMessageLoop();

// The end of a run whose message retrieval failed: the main window, if it still exists, is
// destroyed so the history is saved, and the exit code reports the failure (1).
int EndAfterFailedRetrieval();

// The whole run: start-up, the loop, and the exit code (0 after a normal end, and for a second
// copy in a folder that a running copy already has). A history that could not be saved is
// reported after the loop.
int RunClipwren();
