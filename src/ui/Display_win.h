// The display refresh: the visible view rebuilt from the entries when a rebuild is pending.
#pragma once

#include <windows.h>

// Rebuilds the text view or the list when refreshPending is set, and repaints the main window.
void RefreshDisplay();
