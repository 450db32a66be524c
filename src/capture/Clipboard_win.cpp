// Clipboard primitives: the bounded read of the clipboard's text and the write of the list's
// copy-back.
#include "capture/Clipboard_win.h"

#include <algorithm>
#include <cstring>

#include "base/Guards_win.h"
#include "base/AppResources_win.h"
#include "base/Cp932_win.h"
#include "base/ShiftJis.h"
#include "capture/CaptureDecision.h"
#include "capture/ClipboardText.h"

namespace {

// Which formats the clipboard holds, asked once for all of them where they fit in the list
// (every question is a call to the system, and the tick runs every second).
class AvailableFormats {
public:
    AvailableFormats() : listed_(GetUpdatedClipboardFormats(formats_, MaxListed, &count_) != FALSE) {}
    bool Has(UINT format) const {
        if (!format) {
            return false;
        }
        if (!listed_) {
            return IsClipboardFormatAvailable(format) != FALSE;
        }
        return std::find(formats_, formats_ + count_, format) != formats_ + count_;
    }

private:
    static constexpr UINT MaxListed = 64;
    UINT formats_[MaxListed];
    UINT count_ = 0;
    bool listed_;
};

// Password managers and similar programs mark what they copy so that clipboard watchers leave it
// alone. Called with the clipboard open.
bool IsMarkedPrivate() {
    static const UINT viewerIgnore = RegisterClipboardFormatA("Clipboard Viewer Ignore");
    static const UINT excludeMonitor =
        RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
    static const UINT historyPermission = RegisterClipboardFormatA("CanIncludeInClipboardHistory");
    const AvailableFormats available;
    if (available.Has(viewerIgnore) || available.Has(excludeMonitor)) {
        return true;
    }
    if (!available.Has(historyPermission)) {
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

// The first of CF_TEXT and CF_UNICODETEXT in the clipboard's order. Called with it open.
TextSource PlacedTextSource() {
    UINT format = 0;
    while ((format = EnumClipboardFormats(format)) != 0) {
        const TextSource source = TextSourceOf(format);
        if (source != TextSource::None) {
            return source;
        }
    }
    return TextSource::None;
}

int ReadAnsiText(char* buffer, int capacity) {
    HANDLE handle = GetClipboardData(CF_TEXT);
    GlobalLockGuard lock(handle);
    const SIZE_T size = lock.get() ? GlobalSize(handle) : 0;
    if (size == 0) {
        return 0;
    }
    // Bounded by the block's size too: a text without its terminating zero must not be overrun.
    CopyCutText(buffer, capacity, static_cast<const char*>(lock.get()), size);
    return 1;
}

// The ANSI code page of the clipboard's CF_LOCALE (placed, or added by the system); 0 without
// one. Called with the clipboard open.
unsigned LocaleCodePage() {
    HANDLE handle = GetClipboardData(CF_LOCALE);
    GlobalLockGuard lock(handle);
    if (!lock.get() || GlobalSize(handle) < sizeof(LCID)) {
        return 0;
    }
    LCID locale = 0;
    std::memcpy(&locale, lock.get(), sizeof locale);
    DWORD codePage = 0;
    if (!GetLocaleInfoW(locale, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR))) {
        return 0;
    }
    return codePage;
}

// Converted here, not by the system: its CF_TEXT would go through the code page of CF_LOCALE,
// the keyboard language at the copy, and best-fit substitutes such as \ for the yen sign.
int ReadUnicodeText(char* buffer, int capacity) {
    HANDLE handle = GetClipboardData(CF_UNICODETEXT);
    GlobalLockGuard lock(handle);
    const SIZE_T size = lock.get() ? GlobalSize(handle) : 0;
    if (size == 0) {
        return 0;
    }
    const size_t units = WideUnitsToConvert(static_cast<const unsigned char*>(lock.get()), size, capacity);
    if (units == 0) {
        CopyCutText(buffer, capacity, "", 1);
        return 1;
    }
    const int bytes = static_cast<int>(2 * units);
    ProcessHeapBlock converted(static_cast<SIZE_T>(bytes));
    if (!converted.get()) {
        return 0;
    }
    const int length =
        Cp932From(static_cast<const WCHAR*>(lock.get()), static_cast<int>(units), converted.get(), bytes);
    if (length <= 0) {
        return 0;
    }
    CopyCutText(buffer, capacity, converted.get(), static_cast<size_t>(length));
    return 1;
}

} // namespace

int ReadClipboardText(char* buffer, int capacity) {
    if (!buffer || capacity < 1) {
        return 0;
    }
    OpenedClipboard clipboard(MainWindow());
    if (!clipboard.get() || IsMarkedPrivate()) {
        return 0;
    }
    TextSource source = PlacedTextSource();
    const UINT systemCodePage = GetACP();
    if (source == TextSource::Ansi && systemCodePage != ProgramCodePage) {
        source = TextSourceToRead(source, systemCodePage, LocaleCodePage());
    }
    switch (source) {
    case TextSource::Ansi:
        return ReadAnsiText(buffer, capacity);
    case TextSource::Unicode:
        return ReadUnicodeText(buffer, capacity);
    case TextSource::None:
        break;
    }
    return 0;
}

namespace {

// Copies size bytes into the block; false when there is no block or it cannot be locked.
bool Fill(const OwnedGlobal& block, const void* bytes, SIZE_T size) {
    GlobalLockGuard lock(block.get());
    if (!lock.get()) {
        return false;
    }
    std::memcpy(lock.get(), bytes, size);
    return true;
}

// The UTF-16 text with its zero into the block.
bool FillWide(const OwnedGlobal& block, const std::wstring& text) {
    return Fill(block, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
}

// Hands a filled block to the clipboard; false when it is not placed (the block stays ours).
bool Place(UINT format, OwnedGlobal& block) {
    if (!SetClipboardData(format, block.get())) {
        return false;
    }
    block.release();
    return true;
}

} // namespace

int WriteClipboardText(const char* text) {
    if (!text) {
        return 0;
    }
    const SIZE_T size = std::strlen(text) + 1;
    // Everything is prepared before the clipboard is touched, so a failure leaves it as it was.
    OwnedGlobal ansi(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, size);
    if (!Fill(ansi, text, size)) {
        return 0;
    }
    const std::wstring wideText = WideFrom(text);
    OwnedGlobal wide(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, (wideText.size() + 1) * sizeof(WCHAR));
    const bool wideReady = FillWide(wide, wideText);
    const LCID locale = JapaneseLocale;
    OwnedGlobal localeBlock(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof locale);
    const bool localeReady = Fill(localeBlock, &locale, sizeof locale);

    OpenedClipboard clipboard(MainWindow());
    if (!clipboard.get() || !EmptyClipboard()) {
        return 0;
    }
    // In this order: a reader takes the first text format placed, and Unicode programs should
    // not get their text through whatever code page the system would pick.
    if (wideReady) {
        Place(CF_UNICODETEXT, wide);
    }
    if (!Place(CF_TEXT, ansi)) {
        // Without CF_TEXT the copy-back did not happen; nothing of it stays.
        EmptyClipboard();
        return 0;
    }
    if (localeReady) {
        Place(CF_LOCALE, localeBlock);
    }
    return 1;
}
