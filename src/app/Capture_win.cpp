// The capture: reads the clipboard, captures its text into the history (capture/CaptureDecision),
// asks for a new address's page title and tells the view what changed; run by the tick and by the
// settle timer of a clipboard notification.
#include "app/Capture_win.h"

#include "app/CaptureSchedule.h"
#include "app/PageTitles_win.h"
#include "base/AppResources_win.h"
#include "base/ids.h"
#include "capture/CaptureDecision.h"
#include "capture/Clipboard_win.h"
#include "history/EntryCompare_win.h"
#include "history/HistoryStore.h"
#include "ui/ViewState.h"

bool CaptureClipboard() {
    CaptureSchedule& schedule = TheCaptureSchedule();
    if (!BeginCapture(schedule)) {
        return false;
    }
    char buffer[CaptureBufferSize] = {};
    const char* text = ReadClipboardText(buffer, CaptureCapacity) == 1 ? buffer : nullptr;
    const CaptureResult result = CaptureText(TheHistory(), TheView().displayMode, text, CompareEntryTexts);
    MarkRefresh(TheView(), result.mark);
    if (result.titleSerial != 0) {
        RequestPageTitle(result.titleSerial);
    }
    EndCapture(schedule);
    return true;
}

void ClipboardTick() {
    const HWND window = MainWindow();
    // Stopped for the whole tick, so that the next one comes a full interval after this one ends,
    // however long the clipboard took to open.
    KillTimer(window, CaptureTimer);
    CaptureClipboard();
    SetTimer(window, CaptureTimer, CaptureIntervalMs, nullptr);
}
