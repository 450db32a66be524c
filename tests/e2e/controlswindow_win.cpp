// The second floor of the start-up benchmark: the program's own main window, built by the
// program's own code (common controls, fonts, menus, the seven controls, the prepared list, the
// first resize and the refreshes on size and activation), without the history, the saver, the
// page titles, the clipboard watch or the folder claim. The program over this floor is what the
// run's own work adds to its window.
#include <windows.h>

#include "app/MainWindow_win.h"
#include "app/Startup_win.h"
#include "app/UiResources_win.h"
#include "base/AppResources_win.h"
#include "ui/ViewState.h"

namespace {

LRESULT CALLBACK ControlsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        BuildMainWindow(window);
        InitViewState(TheView());
        PrepareMainView();
        return 0;
    case WM_SIZE:
    case WM_ACTIVATE:
        // The program's own layout and refresh; its saver is never started here.
        return MainWindowProc(window, message, wParam, lParam);
    case WM_DESTROY:
        ReleaseViewState(TheView());
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CreateUiResources();
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = ControlsWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = AppResources().backgroundBrush;
    windowClass.lpszClassName = "ClipwrenControlsWindow";
    RegisterClassExA(&windowClass);
    CreateWindowExA(0, "ClipwrenControlsWindow", "Controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                    CW_USEDEFAULT, 505, 266, nullptr, nullptr, instance, nullptr);
    const int code = RunMessageLoop();
    ReleaseUiResources();
    return code;
}
