// The main window as a clipboard format listener: every change another program (or this one)
// makes arms the settle timer ClipboardSettleTimer, whose capture follows the tick's rules.
// The one-second tick goes on beside it, untouched.
#pragma once

#include <windows.h>

// At the main window's creation: registers it as a listener, with nothing armed yet.
void StartClipboardWatch(HWND window);

// At its destruction, before the final save: no notification arrives after this.
void StopClipboardWatch(HWND window);

// WM_CLIPBOARDUPDATE: arms the settle timer unless it is armed already.
void OnClipboardUpdate();

// Timer ClipboardSettleTimer: runs the settled capture, unless another capture is running.
void ClipboardSettled();
