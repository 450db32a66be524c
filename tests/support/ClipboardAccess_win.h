// The clipboard as another program sets and reads it, without the code under test.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

inline HGLOBAL BlockOf(const void* bytes, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (block) {
        void* p = GlobalLock(block);
        std::memcpy(p, bytes, size);
        GlobalUnlock(block);
    }
    return block;
}

// Opens the clipboard as another program would, retrying for up to two seconds: under Wine the
// bridge to the X11 selection opens it after every change, and on a loaded machine it can still
// hold it when a test comes to copy or read.
inline bool OpenClipboardAsAnotherProgram(HWND owner = nullptr) {
    const DWORD start = GetTickCount();
    while (!OpenClipboard(owner)) {
        if (GetTickCount() - start >= 2000) {
            return false;
        }
        Sleep(5);
    }
    return true;
}

// Replaces the clipboard's content without going through the code under test: text (null for
// none) as a Japanese program copies it, Shift_JIS CF_TEXT with CF_LOCALE 0x0411, and, when mark
// is given, one more registered format holding markBytes.
inline bool PutClipboard(const char* text, const char* mark = nullptr, const void* markBytes = "",
                  size_t markSize = 1) {
    if (!OpenClipboardAsAnotherProgram()) {
        return false;
    }
    bool ok = EmptyClipboard() != 0;
    if (ok && text) {
        const LCID japanese = 0x0411;
        ok = SetClipboardData(CF_TEXT, BlockOf(text, std::strlen(text) + 1)) != nullptr &&
             SetClipboardData(CF_LOCALE, BlockOf(&japanese, sizeof japanese)) != nullptr;
    }
    if (ok && mark) {
        ok = SetClipboardData(RegisterClipboardFormatA(mark), BlockOf(markBytes, markSize)) != nullptr;
    }
    CloseClipboard();
    return ok;
}

inline std::string ClipboardTextNow() {
    std::string text = "<none>";
    if (OpenClipboardAsAnotherProgram()) {
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


// One format as a program places it: its number and its bytes.
struct PlacedFormat {
    UINT format;
    std::string bytes;
};

// A UTF-16 text with its terminating zero, as CF_UNICODETEXT holds it.
inline std::string Utf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}

inline std::string AnsiBytes(const std::string& text) {
    return std::string(text.c_str(), text.size() + 1);
}

inline std::string LocaleBytes(DWORD lcid) {
    return std::string(reinterpret_cast<const char*>(&lcid), sizeof lcid);
}

// Replaces the clipboard's content by these formats, placed in this order. Another process
// copying at the same time as the program reads passes a window of its own, as programs do.
inline bool PutClipboardFormats(const std::vector<PlacedFormat>& formats, HWND owner = nullptr) {
    if (!OpenClipboardAsAnotherProgram(owner)) {
        return false;
    }
    bool ok = EmptyClipboard() != 0;
    for (const PlacedFormat& placed : formats) {
        ok = ok && SetClipboardData(placed.format, BlockOf(placed.bytes.data(), placed.bytes.size())) != nullptr;
    }
    CloseClipboard();
    return ok;
}

// The text as a Unicode program copies it: CF_UNICODETEXT, then the keyboard language it was
// typed in.
inline bool PutClipboardUnicode(const std::wstring& text, DWORD lcid = 0x0409) {
    return PutClipboardFormats({{CF_UNICODETEXT, Utf16Bytes(text)}, {CF_LOCALE, LocaleBytes(lcid)}});
}

// Every format on the clipboard, in its enumeration order.
inline std::vector<UINT> ClipboardFormatsNow() {
    std::vector<UINT> formats;
    if (OpenClipboardAsAnotherProgram()) {
        UINT format = 0;
        while ((format = EnumClipboardFormats(format)) != 0) {
            formats.push_back(format);
        }
        CloseClipboard();
    }
    return formats;
}

// The whole block of one format on the clipboard; "<none>" when it is not there.
inline std::string ClipboardBytesNow(UINT format) {
    std::string bytes = "<none>";
    if (OpenClipboardAsAnotherProgram()) {
        if (HANDLE handle = GetClipboardData(format)) {
            if (const char* p = static_cast<const char*>(GlobalLock(handle))) {
                bytes.assign(p, GlobalSize(handle));
                GlobalUnlock(handle);
            }
        }
        CloseClipboard();
    }
    return bytes;
}

inline std::wstring ClipboardUnicodeNow() {
    const std::string bytes = ClipboardBytesNow(CF_UNICODETEXT);
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}
