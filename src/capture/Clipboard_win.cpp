// Clipboard primitives (CF_TEXT only) and the one-second capture tick on the main window.
#include "capture/Clipboard_win.h"

#include <cstring>

#include "app/GeneralHeap_win.h"
#include "app/Shell_win.h"
#include "app/ids.h"
#include "capture/CaptureDecision.h"
#include "history/HistoryStore.h"
#include "web/PageTitle_win.h"

namespace {

// A program that keeps the clipboard open longer than this makes the tick see no text (and a
// write give up) instead of freezing the window.
constexpr DWORD OpenRetryMs = 50;

// The work buffer a text entry's "%d Byte" title is formatted in.
constexpr SIZE_T ByteTitleBytes = 1024;

BOOL OpenClipboardPatiently() {
    const DWORD start = GetTickCount();
    for (int attempt = 1;; ++attempt) {
        if (OpenClipboard(nullptr)) {
            return TRUE;
        }
        if (attempt >= 2 && GetTickCount() - start >= OpenRetryMs) {
            return FALSE;
        }
        Sleep(1);
    }
}

struct OpenedClipboard {
    BOOL open;
    OpenedClipboard() : open(OpenClipboardPatiently()) {}
    ~OpenedClipboard() {
        if (open) {
            CloseClipboard();
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

struct LockedGlobal {
    HGLOBAL handle;
    void* bytes;
    explicit LockedGlobal(HANDLE h) : handle(h), bytes(h ? GlobalLock(h) : nullptr) {}
    ~LockedGlobal() {
        if (bytes) {
            GlobalUnlock(handle);
        }
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
};

struct PageTitle {
    char* text;
    explicit PageTitle(const char* url) : text(GetPageTitle(url)) {}
    ~PageTitle() { ReleasePageTitle(text); }
    PageTitle(const PageTitle&) = delete;
    PageTitle& operator=(const PageTitle&) = delete;
};

// Password managers and similar programs mark what they copy so that clipboard watchers leave it
// alone. Called with the clipboard open.
bool IsMarkedPrivate() {
    static const UINT viewerIgnore = RegisterClipboardFormatA("Clipboard Viewer Ignore");
    static const UINT excludeMonitor =
        RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
    static const UINT historyPermission = RegisterClipboardFormatA("CanIncludeInClipboardHistory");
    if ((viewerIgnore && IsClipboardFormatAvailable(viewerIgnore)) ||
        (excludeMonitor && IsClipboardFormatAvailable(excludeMonitor))) {
        return true;
    }
    if (!historyPermission || !IsClipboardFormatAvailable(historyPermission)) {
        return false;
    }
    // Only a readable nonzero DWORD grants permission; a mark we cannot read counts as a refusal.
    HANDLE handle = GetClipboardData(historyPermission);
    LockedGlobal lock(handle);
    if (!lock.bytes || GlobalSize(handle) < sizeof(DWORD)) {
        return true;
    }
    DWORD allowed = 0;
    std::memcpy(&allowed, lock.bytes, sizeof allowed);
    return allowed == 0;
}

int CompareIgnoringCase(const char* a, const char* b) {
    return lstrcmpiA(a, b);
}

// Intake of a new entry: its title (the page's, or the byte count), then slot 0.
void AddEntry(HistoryStore& store, const CaptureDecision& decision, const char* text) {
    if (decision.kind == EntryKind::Url) {
        // The page download happens here, inside the tick.
        PageTitle title(text);
        ApplyCapture(store, decision, text, title.text);
        return;
    }
    GeneralHeapBlock title(ByteTitleBytes);
    if (title.bytes) {
        FormatByteTitle(title.bytes, ByteTitleBytes, std::strlen(text));
    }
    ApplyCapture(store, decision, text, title.bytes);
}

} // namespace

void ClipboardTick(UINT_PTR timerId) {
    if (timerId != CaptureTimer) {
        return;
    }
    const HWND window = MainWindow();
    // Stopped for the whole tick, so a slow page download never queues ticks behind it.
    KillTimer(window, CaptureTimer);

    char buffer[CaptureBufferSize] = {};
    HistoryStore& store = TheHistory();
    const char* text = ReadClipboardText(buffer, CaptureCapacity) == 1 ? buffer : nullptr;
    const CaptureDecision decision = DecideCapture(store, text, CompareIgnoringCase);
    if (decision.action == CaptureAction::Add) {
        AddEntry(store, decision, buffer);
    } else {
        ApplyCapture(store, decision, text, nullptr);
    }

    SetTimer(window, CaptureTimer, CaptureIntervalMs, nullptr);
}

int ReadClipboardText(char* buffer, int capacity) {
    if (!buffer || capacity < 1) {
        return 0;
    }
    OpenedClipboard clipboard;
    if (!clipboard.open || IsMarkedPrivate()) {
        return 0;
    }
    HANDLE handle = GetClipboardData(CF_TEXT);
    if (!handle) {
        return 0;
    }
    LockedGlobal lock(handle);
    const SIZE_T size = lock.bytes ? GlobalSize(handle) : 0;
    if (size == 0) {
        return 0;
    }
    // Bounded by the block's size too: a text without its terminating zero must not be overrun.
    CopyCutText(buffer, capacity, static_cast<const char*>(lock.bytes), size);
    return 1;
}

int WriteClipboardText(const char* text) {
    if (!text) {
        return 0;
    }
    const SIZE_T size = std::strlen(text) + 1;
    // Prepared before the clipboard is touched, so a failure leaves the clipboard as it was.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, size);
    if (!block) {
        return 0;
    }
    {
        LockedGlobal lock(block);
        if (!lock.bytes) {
            GlobalFree(block);
            return 0;
        }
        std::memcpy(lock.bytes, text, size);
    }
    OpenedClipboard clipboard;
    if (!clipboard.open || !EmptyClipboard() || !SetClipboardData(CF_TEXT, block)) {
        GlobalFree(block);
        return 0;
    }
    return 1;
}
