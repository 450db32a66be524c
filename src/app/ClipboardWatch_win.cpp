// Clipboard notifications and the settled capture they lead to.
#include "app/ClipboardWatch_win.h"

#include "app/CaptureSchedule.h"
#include "app/Capture_win.h"
#include "base/AppResources_win.h"
#include "base/ids.h"

void StartClipboardWatch(HWND window) {
    ResetCaptureSchedule(TheCaptureSchedule());
    // Without notifications the tick still takes the clipboard once a second.
    AddClipboardFormatListener(window);
}

void StopClipboardWatch(HWND window) {
    RemoveClipboardFormatListener(window);
}

void OnClipboardUpdate() {
    CaptureSchedule& schedule = TheCaptureSchedule();
    // The copying program may still be placing formats when the first one is announced.
    if (ArmSettle(schedule) && !SetTimer(MainWindow(), ClipboardSettleTimer, ClipboardSettleMs, nullptr)) {
        DisarmSettle(schedule);
    }
}

void ClipboardSettled() {
    if (!SettleDue(TheCaptureSchedule())) {
        return;
    }
    KillTimer(MainWindow(), ClipboardSettleTimer);
    CaptureClipboard();
}
