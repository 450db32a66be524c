// The main window: its seven controls, their layout, the button and menu commands, the capture
// timer, the end-of-session save and the orderly shutdown.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_TIMER: the capture tick, the settle timer of a clipboard notification or the saver's timer;
// any other timer does nothing. The tests' stand-in main windows route their timers here too.
void OnTimer(UINT_PTR id);

// One control of the main window as it is created.
struct MainControlSpec {
    int id;
    const char* className;
    const char* text;
    DWORD exStyle;
    DWORD style;
    int x, y, width, height;
};

// The first steps of WM_CREATE: records the window as the main window, attaches the menu bar and
// creates the controls.
void BuildMainWindow(HWND window);

// Creates the seven controls of the main window as children of window, each with the control
// font. Tests build their windows with it too, so they cannot drift from the program's.
void CreateMainControls(HWND window);

// WM_CREATE after the controls exist: history, timer, clipboard notifications, list set-up,
// first resize to 640x240.
void InitMainWindow(const CREATESTRUCTA* create);

// The last step of InitMainWindow, which touches nothing but the window: the selected text mode,
// the list's styles, font and columns, and the first resize. The start-up benchmark's second
// floor builds the same window with it.
void PrepareMainView();

// Places the text view, the list and the button strip for the current client size.
void LayoutControls();

// The commands of the right-hand strip; each ends with a display refresh.
void RequestRefresh();
void SelectViewMode(int textMode);
void ToggleListDisplay();

// WM_ACTIVATE: activation and minimising always rebuild the display.
void OnActivate(int state, int minimised);

// File / exit: asks first, destroys the main window on yes.
void ConfirmExit();

// WM_ENDSESSION: when the session really ends, the timers stop and the history is written one
// last time; the store stays as it is.
void OnEndSession(BOOL ending);

// WM_DESTROY: stops the timers and the clipboard notifications, writes the history one last
// time, releases the history and the shell's resources, and ends the message loop.
void OnMainDestroy();
