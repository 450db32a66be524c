// Test seams of app, for tests only: the program never calls them.
#pragma once

#include <windows.h>

// The open version window, or null.
HWND VersionDialog();
