// The capture on the main window: clipboard, decision, intake, page title, and the view's
// rebuild request, coordinated once a second by timer CaptureTimer.
#pragma once

#include <windows.h>

// Runs one capture for timer CaptureTimer; any other timer identifier does nothing at all.
void ClipboardTick(UINT_PTR timerId);
