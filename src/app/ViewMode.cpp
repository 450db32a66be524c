// The display-mode word as the main window's commands change it.
#include "app/ViewMode.h"

#include "base/DisplayMode.h"

int32_t WithTextMode(int32_t displayMode, int32_t textMode) {
    return textMode | (displayMode & DisplayMode::ListDisplay);
}

int32_t WithListDisplay(int32_t displayMode, bool listShown) {
    return listShown ? (displayMode | DisplayMode::ListDisplay) : (displayMode & ~DisplayMode::ListDisplay);
}

int ActivationMarksRefresh(int state, int minimised) {
    return (state != 0 || minimised != 0) ? 1 : 0;
}
