// Start-up and the message loop: window classes, the main window, and the loop that runs until
// the main window's destruction posts the quit message.
#include "app/Startup_win.h"

#include "app/MainWindow_win.h"
#include "app/Saver_win.h"
#include "app/SingleInstance_win.h"
#include "app/UiResources_win.h"
#include "base/MessageBox_win.h"
#include "base/AppResources_win.h"
#include "base/UiTexts.h"
#include "base/ids.h"

namespace {

LRESULT CALLBACK DialogClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

ATOM RegisterShellClass(const char* name, WNDPROC procedure, HICON icon, HICON smallIcon) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = AppResources().backgroundBrush;
    windowClass.lpszClassName = name;
    windowClass.hIconSm = smallIcon;
    return RegisterClassExA(&windowClass);
}

} // namespace

void RegisterWindowClasses() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterShellClass("NORMALDLG", DialogClassProc, LoadIconA(nullptr, IDI_APPLICATION),
                       LoadIconA(nullptr, IDI_WINLOGO));
    const HICON appIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APPICON));
    RegisterShellClass("NORMAL0", MainWindowProc, appIcon, appIcon);
}

HWND CreateMainWindow() {
    // Created at 505x266; its creation handler resizes it to 640x240 before it is first shown.
    return CreateWindowExA(0, "NORMAL0", "Clipwren", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           CW_USEDEFAULT, CW_USEDEFAULT, 505, 266, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

int RunMessageLoop() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            return 0;
        }
        if (got == -1) {
            return EndAfterFailedRetrieval();
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int EndAfterFailedRetrieval() {
    // Without a working queue no quit message would ever end the run; saving through the
    // window's normal destruction keeps the history instead of losing it.
    if (IsWindow(MainWindow())) {
        DestroyWindow(MainWindow());
    }
    return 1;
}

int RunClipwren() {
    FolderClaim claim;
    if (!claim.owned()) {
        return 0;
    }
    CreateUiResources();
    RegisterWindowClasses();
    if (!CreateMainWindow()) {
        ReleaseUiResources();
        ShowMessageBox(nullptr, NoMainWindowMessage, ProgramCaption, MB_OK);
        return 1;
    }
    claim.Publish(MainWindow());
    const int code = RunMessageLoop();
    // The history is written: another copy may start here while the box below is open.
    claim.Release();
    ReportUnsavedHistory();
    return code;
}
