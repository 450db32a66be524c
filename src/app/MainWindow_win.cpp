// The main window's procedure and its handlers.
#include "app/MainWindow_win.h"

#include <commctrl.h>

#include "app/Capture_win.h"
#include "app/ClipboardWatch_win.h"
#include "app/MainLayout.h"
#include "app/PageTitles_win.h"
#include "app/Saver_win.h"
#include "app/UiResources_win.h"
#include "app/VersionDialog_win.h"
#include "app/ViewMode.h"
#include "base/Guards_win.h"
#include "base/MessageBox_win.h"
#include "base/AppResources_win.h"
#include "base/Cp932_win.h"
#include "base/UiTexts.h"
#include "base/ids.h"
#include "history/HistoryFile_win.h"
#include "ui/Display_win.h"
#include "ui/EntryList_win.h"
#include "ui/ListActions_win.h"
#include "ui/ViewState.h"

namespace {

// One control of the main window as it is created.
struct MainControlSpec {
    int id;
    const char* className;
    const char* text;
    DWORD exStyle;
    DWORD style;
    int x, y, width, height;
};

// Creation rectangles only; the first resize replaces them.
const MainControlSpec MainControls[] = {
    {TextView, "EDIT", "", WS_EX_CLIENTEDGE,
     WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 96, 64, 235, 125},
    {RefreshButton, "BUTTON", RefreshButtonText, 0, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 393, 32, 71, 26},
    {UrlOnlyButton, "BUTTON", UrlOnlyButtonText, 0, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 377, 84, 66, 15},
    {UrlTitleButton, "BUTTON", UrlTitleButtonText, 0, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 377, 113, 87, 15},
    {UrlTextButton, "BUTTON", UrlTextButtonText, 0, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 377, 146, 90, 20},
    {ListDisplayCheck, "BUTTON", ListDisplayCheckText, 0, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 378, 176, 88, 22},
    {EntryList, "SysListView32", "", WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | LVS_REPORT, 24, -1, 214, 136},
};

const int StripButtons[MainButtonCount] = {RefreshButton, UrlOnlyButton, UrlTitleButton,
                                           UrlTextButton, ListDisplayCheck};

HWND Control(int id) { return GetDlgItem(MainWindow(), id); }

// The screen width, from the device context BeginPaint gives for the main window.
int ScreenWidth() {
    PaintDc paint(MainWindow());
    return GetDeviceCaps(paint.get(), HORZRES);
}

// Places the text view, the list and the button strip for the current client size.
void LayoutControls() {
    RECT client = {};
    GetClientRect(MainWindow(), &client);
    const MainLayout layout = ComputeMainLayout(client.right, client.bottom);
    const ControlRect& left = layout.leftArea;
    MoveWindow(Control(TextView), left.x, left.y, left.width, left.height, FALSE);
    TheView().listWidth = left.width;
    MoveWindow(Control(EntryList), left.x, left.y, left.width, left.height, FALSE);
    for (int i = 0; i < MainButtonCount; ++i) {
        const ControlRect& button = layout.buttons[i];
        MoveWindow(Control(StripButtons[i]), button.x, button.y, button.width, button.height, FALSE);
    }
    RefreshDisplay();
}

// Activation and minimising always rebuild the display.
void OnActivate(int state, int minimised) {
    if (ActivationMarksRefresh(state, minimised)) {
        MarkRefresh(TheView(), RefreshMark::Set);
    }
    RefreshDisplay();
}

// File / exit: asks first, destroys the main window on yes.
void ConfirmExit() {
    if (ShowMessageBox(MainWindow(), ConfirmExitMessage, ExitCaption, MB_YESNO) == IDYES) {
        DestroyWindow(MainWindow());
    }
}

// No capture and no timed write from here on.
void StopTimers() {
    KillTimer(MainWindow(), CaptureTimer);
    KillTimer(MainWindow(), ClipboardSettleTimer);
    StopSaveTimers();
}

// Set when the main window goes because the session closes the program: nobody is told then.
bool closedWithSession = false;

// A program the session closes (a Restart Manager close) ends as at a normal exit. A log-off
// writes the history now, since Windows may end the process without destroying the window;
// everything else goes on, so a process that lives on still captures, takes titles and saves.
void OnEndSession(BOOL ending, LPARAM how) {
    if (!ending) {
        return;
    }
    if (how & ENDSESSION_CLOSEAPP) {
        closedWithSession = true;
        DestroyWindow(MainWindow());
        return;
    }
    SaveForSessionEnd();
}

// Stops the timers and the clipboard notifications, writes the history one last time, releases
// the history and the resources, and ends the message loop.
void OnMainDestroy() {
    // Nothing may change the entries after the last write: the timers stop first, then the
    // clipboard notifications.
    StopTimers();
    StopClipboardWatch(MainWindow());
    // No title changes the history after this, so the file saved next is the history as it ends.
    StopTitles();
    // A failure is reported once the message loop has ended.
    SaveAtEnd(closedWithSession);
    // The list lets go of the list font before the resources are released.
    SendMessageA(Control(EntryList), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), TRUE);
    ReleaseStoreStrings(TheHistory());
    ReleaseViewState(TheView());
    ReleaseUiResources();
    PostQuitMessage(0);
}

// WM_CREATE after the controls exist: history, timer, clipboard notifications, list set-up,
// first resize to 640x240.
void InitMainWindow() {
    closedWithSession = false;
    InitViewState(TheView());
    LoadHistory(TheHistory());
    StartSaving();
    AcceptTitlesFor(MainWindow());
    SetTimer(MainWindow(), CaptureTimer, CaptureIntervalMs, nullptr);
    StartClipboardWatch(MainWindow());
    PrepareMainView();
}

void OnMainCreate(HWND window) {
    BuildMainWindow(window);
    InitMainWindow();
}

// The commands of the right-hand strip: each rebuilds the display, the mode buttons in their mode.
void OnStripButton(int id) {
    ViewState& view = TheView();
    switch (id) {
    case RefreshButton:
        break;
    case UrlOnlyButton:
        view.displayMode = WithTextMode(view.displayMode, DisplayMode::UrlOnly);
        break;
    case UrlTitleButton:
        view.displayMode = WithTextMode(view.displayMode, DisplayMode::UrlTitle);
        break;
    case UrlTextButton:
        view.displayMode = WithTextMode(view.displayMode, DisplayMode::UrlText);
        break;
    case ListDisplayCheck: {
        const LRESULT state = SendMessageA(Control(ListDisplayCheck), BM_GETCHECK, 0, 0);
        view.displayMode = WithListDisplay(view.displayMode, state == BST_CHECKED);
        break;
    }
    default:
        return;
    }
    MarkRefresh(view, RefreshMark::Set);
    RefreshDisplay();
}

// Menu commands act whatever the code (an accelerator sends 1); buttons on a click only.
void OnMainCommand(int id, int code) {
    switch (id) {
    case ExitCommand:
        ConfirmExit();
        break;
    case DeleteAllCommand:
        DeleteAllEntries();
        break;
    case VersionInfoCommand:
        ShowVersionInfo();
        break;
    default:
        if (code == BN_CLICKED) {
            OnStripButton(id);
        }
        break;
    }
}

void OnMainNotify(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != EntryList) {
        return;
    }
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    const NMITEMACTIVATE* item = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
    if (header->code == static_cast<UINT>(NM_DBLCLK)) {
        OnListDoubleClick(item);
    } else if (header->code == static_cast<UINT>(NM_RCLICK)) {
        ShowEntryMenu(item);
    }
}

LRESULT HandleMainMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnMainCreate(window);
        return 0;
    case WM_SIZE:
        LayoutControls();
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_CLIPBOARDUPDATE:
        OnClipboardUpdate();
        return 0;
    case PageTitleMessage:
        OnPageTitle(wParam, lParam);
        return 0;
    case WM_NOTIFY:
        OnMainNotify(wParam, lParam);
        return 0;
    case WM_COMMAND:
        OnMainCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        OnEndSession(static_cast<BOOL>(wParam), lParam);
        return 0;
    case WM_DESTROY:
        OnMainDestroy();
        return 0;
    case SaveDoneMessage:
        OnSaveDone();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

void BuildMainWindow(HWND window) {
    AppResources().mainWindow = window;
    SetMenu(window, AppResources().menuBar);
    CreateMainControls(window);
}

void CreateMainControls(HWND window) {
    for (const MainControlSpec& spec : MainControls) {
        // Unicode controls under the ANSI window, so that their Shift_JIS texts show on any system.
        HWND control = CreateWindowExW(spec.exStyle, WideFrom(spec.className).c_str(), WideFrom(spec.text).c_str(),
                                       spec.style, spec.x, spec.y, spec.width, spec.height, window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                                       AppResources().instance, nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(AppResources().controlFont), 0);
    }
}

void PrepareMainView() {
    ViewState& view = TheView();
    SendMessageA(Control(UrlOnlyButton), BM_SETCHECK, BST_CHECKED, 0);

    HWND list = Control(EntryList);
    const LPARAM listStyles = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, listStyles, listStyles);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(AppResources().listFont), TRUE);
    ShowWindow(list, SW_HIDE);

    view.listWidth = ScreenWidth();
    SetUrlOnlyColumns(list);

    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(MainWindow(), &placement);
    MoveWindow(MainWindow(), placement.rcNormalPosition.left, placement.rcNormalPosition.top, 640,
               240, FALSE);
}

void OnTimer(UINT_PTR id) {
    switch (id) {
    case CaptureTimer:
        ClipboardTick();
        break;
    case ClipboardSettleTimer:
        ClipboardSettled();
        break;
    case SaveTimer:
        OnSaveTimer();
        break;
    default:
        break;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = HandleMainMessage(window, message, wParam, lParam);
    // Whatever changed the entries (a capture, a deletion, a title arriving, in this loop or in a
    // nested one), it passed through here.
    SaveSoonIfChanged();
    return result;
}
