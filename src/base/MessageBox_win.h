// The program's message boxes, every one shown the same way.
#pragma once

#include <windows.h>

// Shows text under caption (both Shift_JIS) with MessageBoxW's flags and returns the button
// pressed. owner is the window the box belongs to: null for the boxes shown once the main window
// is gone. A path is given apart from the text and shown after it: it is the user's file name, in
// the system's code page, not a text of ours.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT flags, const char* path = nullptr);
