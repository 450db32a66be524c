// Where the main window's controls go for a given client size. Portable: no <windows.h>.
#pragma once

constexpr int MainButtonCount = 5;

struct ControlRect {
    int x, y, width, height;
};

struct MainLayout {
    ControlRect leftArea;                 // the text view and the list, one above the other
    ControlRect buttons[MainButtonCount]; // the right strip, top to bottom
};

// An empty client area (a minimised window) is not special: the left area then has a negative
// width, which a window move treats as 0.
MainLayout ComputeMainLayout(int clientRight, int clientBottom);
