// The version-information window: a "NORMALDLG" window made modal by a nested message loop.
#pragma once

#include <windows.h>

// HELP / version information.
void ShowVersionInfo();

// Opens the version window, owned by owner, runs it modally and returns the code it ended with:
// 1 for OK, 0 for closing it otherwise, or when the window cannot be created. A quit message
// meant for an outer loop ends the window too and is posted again, with its code, before this
// returns.
int RunVersionWindow(HWND owner);
