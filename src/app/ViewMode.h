// How the main window's commands change the display-mode word. Portable: no <windows.h>.
#pragma once

#include <cstdint>

// Replaces the text mode (1, 2 or 4) and keeps the list display bit as it was.
int32_t WithTextMode(int32_t displayMode, int32_t textMode);

// Sets or clears only the list display bit.
int32_t WithListDisplay(int32_t displayMode, bool listShown);

// 1 when an activation message must rebuild the display: any activation, or minimising.
int ActivationMarksRefresh(int state, int minimised);
