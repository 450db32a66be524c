// The program's process-wide handles in one record, AppResources(): the main window and the
// resources that live for the whole run. Created at start-up and released after the main window is gone; everything
// else reads them, and reaches the main window through MainWindow().
#pragma once

#include <windows.h>

struct AppResourceRecord {
    HINSTANCE instance;
    HWND mainWindow;
    HFONT controlFont;      // 12-pixel font of the main window's controls
    HFONT dialogFont;       // 16-pixel font of the version window's controls
    HFONT listFont;         // 16-pixel fixed-pitch font of the entry list
    HBRUSH backgroundBrush; // COLOR_BTNFACE, background of both window classes
    HMENU menuBar;
    HMENU helpMenu;
    HMENU editMenu;
    HMENU fileMenu;
};

AppResourceRecord& AppResources();

inline HWND MainWindow() { return AppResources().mainWindow; }
