// The main window's layout arithmetic.
#include "app/MainLayout.h"

constexpr int RightStripWidth = 128;
constexpr int StripButtonWidth = 96;
constexpr int StripButtonHeight = 32;
constexpr int StripTop = 16;

MainLayout ComputeMainLayout(int clientRight, int clientBottom) {
    MainLayout layout = {};
    const int leftWidth = clientRight - RightStripWidth;
    layout.leftArea = {0, 0, leftWidth, clientBottom};
    // Centred in the strip; the buttons touch one another vertically.
    const int x = leftWidth + (RightStripWidth - StripButtonWidth) / 2;
    for (int i = 0; i < MainButtonCount; ++i) {
        layout.buttons[i] = {x, StripTop + StripButtonHeight * i, StripButtonWidth, StripButtonHeight};
    }
    return layout;
}
