// The clipboard as another program sets and reads it, without the code under test.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

inline HGLOBAL BlockOf(const void* bytes, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (block) {
        void* p = GlobalLock(block);
        std::memcpy(p, bytes, size);
        GlobalUnlock(block);
    }
    return block;
}

// Replaces the clipboard's content without going through the code under test: text (null for
// none) and, when mark is given, one more registered format holding markBytes.
inline bool PutClipboard(const char* text, const char* mark = nullptr, const void* markBytes = "",
                  size_t markSize = 1) {
    if (!OpenClipboard(nullptr)) {
        return false;
    }
    bool ok = EmptyClipboard() != 0;
    if (ok && text) {
        ok = SetClipboardData(CF_TEXT, BlockOf(text, std::strlen(text) + 1)) != nullptr;
    }
    if (ok && mark) {
        ok = SetClipboardData(RegisterClipboardFormatA(mark), BlockOf(markBytes, markSize)) != nullptr;
    }
    CloseClipboard();
    return ok;
}

inline std::string ClipboardTextNow() {
    std::string text = "<none>";
    if (OpenClipboard(nullptr)) {
        if (HANDLE handle = GetClipboardData(CF_TEXT)) {
            if (const char* p = static_cast<const char*>(GlobalLock(handle))) {
                text = p;
                GlobalUnlock(handle);
            }
        }
        CloseClipboard();
    }
    return text;
}

