// One program per folder. The first copy started in a folder claims it for its session; a second
// copy started there, however the folder's path is spelled, brings the first one's main window to
// the front and ends without reading or writing the history.
#pragma once

#include <windows.h>

#include "base/Guards_win.h"

class FolderClaim {
public:
    // Claims the current folder. When another copy holds it, that copy's main window is brought to
    // the front (a copy still starting is waited for a few seconds) and owned() is false.
    FolderClaim();
    FolderClaim(const FolderClaim&) = delete;
    FolderClaim& operator=(const FolderClaim&) = delete;

    bool owned() const { return owned_; }
    // Names the main window, for a second copy to find.
    void Publish(HWND window);
    // From here on another copy may run in this folder (the history is written).
    void Release();

private:
    KernelHandle mapping_;
    MappedView view_;
    bool owned_;
};
