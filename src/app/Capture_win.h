// The capture on the main window: clipboard, decision, intake, page title, and the view's
// rebuild request, coordinated once a second by timer CaptureTimer and after every clipboard
// notification (app/ClipboardWatch_win.h).
#pragma once

#include <windows.h>

// Runs one capture unless one is running already (a message dispatched while a capture waits
// may lead here again); false when it did not run.
bool CaptureClipboard();

// Timer CaptureTimer: runs one capture and sets the timer again.
void ClipboardTick();
