// The version-information window: a "NORMALDLG" window made modal by a nested message loop.
#pragma once

#include <windows.h>

// The only window name RunModalDialog knows (compared with case).
extern const char* const VersionDialogName;

// HELP / version information.
void ShowVersionInfo();

// Opens the modal window called name, owned by owner, and returns the code it ended with: 1 for
// OK, 0 for closing it otherwise, and 0 at once for an unknown name. A quit message meant for
// an outer loop ends the window too and is posted again, with its code, before this returns.
int RunModalDialog(HWND owner, const char* name);

LRESULT CALLBACK VersionDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the window run by RunModalDialog; code becomes its result.
void EndModalDialog(HWND window, int code);

// The open version window, or null.
HWND VersionDialog();
