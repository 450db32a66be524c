// Start-up and shutdown of the shell: fonts, brush, menus, window classes, the main window and
// the message loop.
#include "app/UiResources_win.h"

#include <commctrl.h>

#include "app/MainWindow_win.h"
#include "app/Shell_win.h"
#include "app/ids.h"

const char* const UiFontFace = "ＭＳ Ｐゴシック";

namespace {

// Both fonts differ only in height and pitch-and-family.
HFONT CreateUiFont(int height, DWORD pitchAndFamily) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, pitchAndFamily,
                       UiFontFace);
}

// One drop-down with its single entry, inserted in front of the bar's other entries.
HMENU AddDropDown(HMENU bar, const char* title, const char* entry, UINT commandId) {
    HMENU dropDown = CreatePopupMenu();
    InsertMenuEntry(dropDown, 0, TRUE, GeneralHeapCopy(entry), commandId, nullptr, 0);
    InsertMenuEntry(bar, 0, TRUE, GeneralHeapCopy(title), 0, dropDown, 0);
    return dropDown;
}

LRESULT CALLBACK DialogClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

ATOM RegisterShellClass(const char* name, WNDPROC procedure, HICON icon, HICON smallIcon) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = WindowClassRecordSize;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = Shell().backgroundBrush;
    windowClass.lpszClassName = name;
    windowClass.hIconSm = smallIcon;
    return RegisterClassExA(&windowClass);
}

} // namespace

void CreateUiResources() {
    ShellResources& shell = Shell();
    shell.instance = GetModuleHandleA(nullptr);
    shell.generalHeap = GetProcessHeap();

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    shell.controlFont = CreateUiFont(-12, FF_SWISS | DEFAULT_PITCH);
    shell.dialogFont = CreateUiFont(-16, FF_MODERN | VARIABLE_PITCH);
    shell.backgroundBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));

    // Every insertion goes to the front, so the bar is built from its right end.
    shell.menuBar = CreateMenu();
    shell.helpMenu = AddDropDown(shell.menuBar, "HELP(&H)", "バージョン情報(&A)", VersionInfoCommand);
    shell.editMenu = AddDropDown(shell.menuBar, "編集(&E)", "全削除", DeleteAllCommand);
    shell.fileMenu = AddDropDown(shell.menuBar, "ファイル(&F)", "終了(&C)", ExitCommand);
}

char* GeneralHeapCopy(const char* text) {
    const int size = lstrlenA(text) + 1;
    char* copy = static_cast<char*>(HeapAlloc(Shell().generalHeap, HEAP_ZERO_MEMORY, size));
    if (copy) {
        CopyMemory(copy, text, size);
    }
    return copy;
}

void InsertMenuEntry(HMENU menu, UINT position, BOOL byPosition, char* text, UINT commandId,
                     HMENU subMenu, UINT state) {
    MENUITEMINFOA item = {};
    item.cbSize = MenuItemRecordSize;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = state;
    item.wID = commandId;
    item.dwTypeData = text;
    if (subMenu) {
        item.fMask |= MIIM_SUBMENU;
        item.hSubMenu = subMenu;
    }
    InsertMenuItemA(menu, position, byPosition, &item);
    if (text) {
        HeapFree(Shell().generalHeap, 0, text);
    }
}

void RegisterWindowClasses() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterShellClass("NORMALDLG", DialogClassProc, LoadIconA(nullptr, IDI_APPLICATION),
                       LoadIconA(nullptr, IDI_WINLOGO));
    const HICON appIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APPICON));
    RegisterShellClass("NORMAL0", MainWindowProc, appIcon, appIcon);
}

void ReleaseUiResources() {
    ShellResources& shell = Shell();
    // The drop-downs go with the bar they are attached to.
    DestroyMenu(shell.menuBar);
    DeleteObject(shell.controlFont);
    DeleteObject(shell.dialogFont);
    DeleteObject(shell.backgroundBrush);
    shell.menuBar = shell.helpMenu = shell.editMenu = shell.fileMenu = nullptr;
    shell.controlFont = shell.dialogFont = nullptr;
    shell.backgroundBrush = nullptr;
}

HWND CreateMainWindow() {
    // Created at 505x266; its creation handler resizes it to 640x240 before it is first shown.
    return CreateWindowExA(0, "NORMAL0", "Clipwren", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           CW_USEDEFAULT, CW_USEDEFAULT, 505, 266, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

int ReportNoMainWindow() {
    MessageBoxA(nullptr, "メインウィンドウを作成できませんでした。", "Clipwren", MB_OK);
    return 1;
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
    CreateUiResources();
    RegisterWindowClasses();
    if (!CreateMainWindow()) {
        ReleaseUiResources();
        return ReportNoMainWindow();
    }
    return RunMessageLoop();
}
