// The resources that live for the whole run: fonts, brush and the menu bar, recorded in AppResources().
#pragma once

#include <windows.h>

// Registers the common controls and creates the three fonts, the brush
// and the menu bar with its three drop-downs.
void CreateUiResources();

// Destroys the menu bar (with its drop-downs), the fonts and the brush.
void ReleaseUiResources();
