// The one way a message box is shown.
#include "base/MessageBox_win.h"

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT flags, const char* path) {
    if (!path) {
        return MessageBoxA(owner, text, caption, flags);
    }
    // Room for any text of ours and a path of up to 1023 bytes, the longest the program makes.
    char joined[2048];
    lstrcpynA(joined, text, sizeof joined);
    const int length = lstrlenA(joined);
    lstrcpynA(joined + length, path, static_cast<int>(sizeof joined) - length);
    return MessageBoxA(owner, joined, caption, flags);
}
