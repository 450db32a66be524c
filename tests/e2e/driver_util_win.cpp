// Window finding, bounded messaging, text conversion and clipboard access for clipwren_driver.exe.
#include "driver_win.h"

#include <stdio.h>

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Print(const std::string& text) {
    fwrite(text.data(), 1, text.size(), stdout);
    fflush(stdout);
}

std::string ShiftJisOf(const WCHAR* text) {
    std::string bytes;
    const int units = lstrlenW(text);
    if (units > 0) {
        bytes.resize(2 * static_cast<size_t>(units));
        bytes.resize(static_cast<size_t>(WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text, units, &bytes[0],
                                                             static_cast<int>(bytes.size()), "?", nullptr)));
    }
    return bytes;
}

std::string Escaped(const std::string& cp932) {
    std::string utf8;
    if (!cp932.empty()) {
        int wide = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
        std::wstring w(static_cast<size_t>(wide), L'\0');
        MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), &w[0], wide);
        int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
        utf8.assign(static_cast<size_t>(bytes), '\0');
        WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &utf8[0], bytes, nullptr, nullptr);
    }
    std::string out;
    for (char c : utf8) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

bool FindTarget(Target& target, DWORD timeoutMs) {
    double deadline = NowMs() + timeoutMs;
    for (;;) {
        HWND main = FindWindowA("NORMAL0", "Clipwren");
        if (main && IsWindowVisible(main)) {
            target.main = main;
            target.threadId = GetWindowThreadProcessId(main, &target.processId);
            return true;
        }
        if (NowMs() > deadline) {
            return false;
        }
        Sleep(50);
    }
}

bool SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs, DWORD_PTR* result) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, result ? result : &ignored) !=
           0;
}

bool ControlText(HWND control, std::string& text) {
    text.clear();
    if (!control) {
        return false;
    }
    DWORD_PTR length = 0;
    if (!SendBounded(control, WM_GETTEXTLENGTH, 0, 0, 5000, &length)) {
        return false;
    }
    // Read in UTF-16: the A form would go through the code page of whichever side converts it.
    std::wstring buffer(length + 2, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(&buffer[0]), SMTO_NORMAL,
                             5000, &copied)) {
        return false;
    }
    text = ShiftJisOf(buffer.c_str());
    return true;
}

namespace {
struct WindowQuery {
    DWORD threadId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    WindowQuery& query = *reinterpret_cast<WindowQuery*>(lParam);
    if (GetWindowThreadProcessId(window, nullptr) != query.threadId || !IsWindowVisible(window)) {
        return TRUE;
    }
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, query.className) != 0) {
        return TRUE;
    }
    if (query.title) {
        char title[256] = {};
        GetWindowTextA(window, title, sizeof title);
        if (lstrcmpA(title, query.title) != 0) {
            return TRUE;
        }
    }
    query.found = window;
    return FALSE;
}
} // namespace

HWND FindThreadWindow(const Target& target, const char* className, const char* title) {
    WindowQuery query = {target.threadId, className, title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitThreadWindow(const Target& target, const char* className, const char* title, DWORD timeoutMs) {
    double deadline = NowMs() + timeoutMs;
    for (;;) {
        HWND window = FindThreadWindow(target, className, title);
        if (window || NowMs() > deadline) {
            return window;
        }
        Sleep(20);
    }
}

namespace {
struct ProcessWindowQuery {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM lParam) {
    ProcessWindowQuery& query = *reinterpret_cast<ProcessWindowQuery*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != query.processId || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (query.className) {
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpA(className, query.className) != 0) {
            return TRUE;
        }
    } else if (GetWindow(window, GW_OWNER)) {
        return TRUE;
    }
    query.found = window;
    return FALSE;
}
} // namespace

HWND FindProcessWindow(DWORD processId, const char* className) {
    ProcessWindowQuery query = {processId, className, nullptr};
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

bool StartIn(const std::string& exe, const std::string& folder, PROCESS_INFORMATION& info) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    info = {};
    std::string commandLine = "\"" + exe + "\"";
    return CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &info) != 0;
}

bool WaitWindowGone(HWND window, DWORD timeoutMs) {
    double deadline = NowMs() + timeoutMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (NowMs() > deadline) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

namespace {
// Another program may hold the clipboard for a moment.
std::string clipboardFailure;

bool Failed(const char* step) {
    clipboardFailure = std::string(step) + " failed with error " + std::to_string(GetLastError());
    return false;
}

bool OpenClipboardBounded() {
    double deadline = NowMs() + 2000;
    while (!OpenClipboard(nullptr)) {
        if (NowMs() > deadline) {
            return false;
        }
        Sleep(5);
    }
    return true;
}

struct ClipboardGuard {
    bool open = OpenClipboardBounded() || Failed("OpenClipboard (for 2 s)");
    ~ClipboardGuard() {
        if (open) {
            CloseClipboard();
        }
    }
};
} // namespace

bool WriteClipboard(const std::string& text, bool emptyOnly) {
    ClipboardGuard clipboard;
    if (!clipboard.open) {
        return false;
    }
    if (emptyOnly) {
        return EmptyClipboard() != 0 || Failed("EmptyClipboard");
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    if (!block) {
        return Failed("GlobalAlloc");
    }
    void* bytes = GlobalLock(block);
    memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!EmptyClipboard()) {
        GlobalFree(block);
        return Failed("EmptyClipboard");
    }
    if (!SetClipboardData(CF_TEXT, block)) {
        GlobalFree(block);
        return Failed("SetClipboardData");
    }
    return true;
}

std::string ClipboardFailure() {
    return clipboardFailure;
}

bool ReadClipboard(std::string& text) {
    ClipboardGuard clipboard;
    if (!clipboard.open) {
        return false;
    }
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) {
        return false;
    }
    const char* bytes = static_cast<const char*>(GlobalLock(data));
    if (!bytes) {
        return false;
    }
    text.assign(bytes);
    GlobalUnlock(data);
    return true;
}
