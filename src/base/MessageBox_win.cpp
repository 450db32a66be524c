// The one way a message box is shown.
#include "base/MessageBox_win.h"

#include "base/Cp932_win.h"

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT flags, const char* path) {
    std::wstring shown = WideFrom(text);
    // The path is the system's, in its own code page; our texts are Shift_JIS.
    if (path) {
        shown += WideFromSystem(path);
    }
    return MessageBoxW(owner, shown.c_str(), WideFrom(caption).c_str(), flags);
}
