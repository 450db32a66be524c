// The capture: reads the clipboard, decides, takes a new entry in with its title, and tells the
// view what changed; run by the tick and by the settle timer of a clipboard notification.
#include "app/Capture_win.h"

#include <cstring>

#include "app/CaptureSchedule.h"
#include "app/PageTitles_win.h"
#include "base/Heap_win.h"
#include "base/Shell_win.h"
#include "base/ids.h"
#include "capture/CaptureDecision.h"
#include "capture/Clipboard_win.h"
#include "history/HistoryStore.h"
#include "ui/ViewState.h"
#include "web/PageTitle_win.h"

namespace {

// The work buffer a text entry's "%d Byte" title is formatted in.
constexpr SIZE_T ByteTitleBytes = 1024;

int CompareIgnoringCase(const char* a, const char* b) {
    return lstrcmpiA(a, b);
}

// Intake of a new entry: its title (the fallback until the page's arrives, or the byte count),
// then slot 0.
RefreshMark AddEntry(HistoryStore& store, const CaptureDecision& decision, const char* text) {
    if (decision.kind == EntryKind::Url) {
        const RefreshMark mark = ApplyCapture(store, decision, text, PageTitleFallback);
        if (mark == RefreshMark::Set) {
            RequestPageTitle(EntryAt(store, 0).serial);
        }
        return mark;
    }
    GeneralHeapBlock title(ByteTitleBytes);
    if (title.get()) {
        FormatByteTitle(title.get(), ByteTitleBytes, std::strlen(text));
    }
    return ApplyCapture(store, decision, text, title.get());
}

} // namespace

bool CaptureClipboard() {
    CaptureSchedule& schedule = TheCaptureSchedule();
    if (!BeginCapture(schedule)) {
        return false;
    }
    char buffer[CaptureBufferSize] = {};
    HistoryStore& store = TheHistory();
    ViewState& view = TheView();
    const char* text = ReadClipboardText(buffer, CaptureCapacity) == 1 ? buffer : nullptr;
    const CaptureDecision decision = DecideCapture(store, view.displayMode, text, CompareIgnoringCase);
    if (decision.action == CaptureAction::Add) {
        MarkRefresh(view, AddEntry(store, decision, buffer));
    } else {
        MarkRefresh(view, ApplyCapture(store, decision, text, nullptr));
    }
    EndCapture(schedule);
    return true;
}

void ClipboardTick(UINT_PTR timerId) {
    if (timerId != CaptureTimer) {
        return;
    }
    const HWND window = MainWindow();
    // Stopped for the whole tick, so a slow page download never queues ticks behind it.
    KillTimer(window, CaptureTimer);
    CaptureClipboard();
    SetTimer(window, CaptureTimer, CaptureIntervalMs, nullptr);
}
