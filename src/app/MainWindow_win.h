// The main window: its procedure, which only dispatches to the handlers in MainWindow_win.cpp,
// and the steps of its creation that tests and the start-up benchmark share.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_TIMER: the capture tick, the settle timer of a clipboard notification or the saver's timer;
// any other timer does nothing. The tests' stand-in main windows route their timers here too.
void OnTimer(UINT_PTR id);

// The first steps of WM_CREATE: records the window as the main window, attaches the menu bar and
// creates the controls. The start-up benchmark's second floor builds its window with it.
void BuildMainWindow(HWND window);

// Creates the seven controls of the main window as children of window, each with the control
// font. Tests build their windows with it too, so they cannot drift from the program's.
void CreateMainControls(HWND window);

// The last step of WM_CREATE, which touches nothing but the window: the selected text mode, the
// list's styles, font and columns, and the first resize. The start-up benchmark's second floor
// builds the same window with it.
void PrepareMainView();
