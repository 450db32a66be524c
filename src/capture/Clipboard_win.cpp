// Clipboard primitives and the capture tick (interim: the tick only restarts its timer).
#include "capture/Clipboard_win.h"

#include "app/Shell_win.h"
#include "app/ids.h"

void ClipboardTick(UINT_PTR timerId) {
    if (timerId != CaptureTimer) {
        return;
    }
    KillTimer(MainWindow(), CaptureTimer);
    SetTimer(MainWindow(), CaptureTimer, CaptureIntervalMs, nullptr);
}

int ReadClipboardText(char* buffer, int capacity) {
    (void)buffer;
    (void)capacity;
    return 0;
}

int WriteClipboardText(const char*) { return 0; }
