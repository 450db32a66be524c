// Clipboard primitives (CF_TEXT only): the bounded read of the clipboard's text and the write of
// the list's copy-back.
#include "capture/Clipboard_win.h"

#include <cstring>

#include "base/Guards_win.h"
#include "capture/CaptureDecision.h"

namespace {

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
    GlobalLockGuard lock(handle);
    if (!lock.get() || GlobalSize(handle) < sizeof(DWORD)) {
        return true;
    }
    DWORD allowed = 0;
    std::memcpy(&allowed, lock.get(), sizeof allowed);
    return allowed == 0;
}

} // namespace

int ReadClipboardText(char* buffer, int capacity) {
    if (!buffer || capacity < 1) {
        return 0;
    }
    OpenedClipboard clipboard;
    if (!clipboard.get() || IsMarkedPrivate()) {
        return 0;
    }
    HANDLE handle = GetClipboardData(CF_TEXT);
    if (!handle) {
        return 0;
    }
    GlobalLockGuard lock(handle);
    const SIZE_T size = lock.get() ? GlobalSize(handle) : 0;
    if (size == 0) {
        return 0;
    }
    // Bounded by the block's size too: a text without its terminating zero must not be overrun.
    CopyCutText(buffer, capacity, static_cast<const char*>(lock.get()), size);
    return 1;
}

int WriteClipboardText(const char* text) {
    if (!text) {
        return 0;
    }
    const SIZE_T size = std::strlen(text) + 1;
    // Prepared before the clipboard is touched, so a failure leaves the clipboard as it was.
    OwnedGlobal block(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, size);
    if (!block.get()) {
        return 0;
    }
    {
        GlobalLockGuard lock(block.get());
        if (!lock.get()) {
            return 0;
        }
        std::memcpy(lock.get(), text, size);
    }
    OpenedClipboard clipboard;
    if (!clipboard.get() || !EmptyClipboard() || !SetClipboardData(CF_TEXT, block.get())) {
        return 0;
    }
    // The clipboard owns the block now.
    block.release();
    return 1;
}
