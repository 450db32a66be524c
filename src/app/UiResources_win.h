// The resources that live for the whole run (fonts, brush, menus), the two window classes, and
// the entry sequence that creates the main window and runs the message loop.
#pragma once

#include <windows.h>

#include <cstddef>

// Record sizes the API is called with: the full WNDCLASSEXA, and a MENUITEMINFOA without its
// last member, hbmpItem, which every menu version accepts.
constexpr UINT WindowClassRecordSize = sizeof(WNDCLASSEXA);
constexpr UINT MenuItemRecordSize = static_cast<UINT>(offsetof(MENUITEMINFOA, hbmpItem));

// The face name of both fonts (15 bytes in Shift_JIS).
extern const char* const UiFontFace;

// Takes the general heap, registers the common controls and creates both fonts, the brush and
// the menu bar with its three drop-downs, all recorded in Shell().
void CreateUiResources();

// A copy of text from the general heap, for InsertMenuEntry; null when out of memory.
char* GeneralHeapCopy(const char* text);

// Inserts one string entry; subMenu may be null. text is a general-heap string that the menu
// copies, so it is released here after the insertion.
void InsertMenuEntry(HMENU menu, UINT position, BOOL byPosition, char* text, UINT commandId,
                     HMENU subMenu, UINT state);

// Registers "NORMALDLG" (the version window's class) and "NORMAL0" (the main window's).
void RegisterWindowClasses();

// Destroys the menu bar (with its drop-downs), both fonts and the brush.
void ReleaseUiResources();

// Creates the main window; its creation handler records it as MainWindow().
HWND CreateMainWindow();

// Shown when the main window cannot be created; returns the exit code for that case, 1.
int ReportNoMainWindow();

// Runs the message loop until the quit message; returns the process's exit code.
int RunMessageLoop();

// The end of a run whose message retrieval failed: the main window, if it still exists, is
// destroyed so the history is saved, and the exit code reports the failure (1).
int EndAfterFailedRetrieval();

// The whole run: start-up, the loop, and the exit code (0 after a normal end).
int RunClipwren();
