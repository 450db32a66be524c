// A main window with the program's controls for the presentation tests, and readers and drivers
// for its controls, menus and message boxes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/AppResources_win.h"
#include "base/Cp932_win.h"
#include "base/ids.h"
#include "app/MainWindow_win.h"
#include "support/StoreBuilder.h"
#include "ui/Display_win.h"
#include "ui/EntryList_win.h"
#include "ui/ListActions_win.h"

// The main window's controls, made and prepared by the program's own code, on a hidden window of
// the test's class, which becomes the main window. Hidden: under Wine without a window manager,
// hiding a shown top-level window waits 2 s for a withdrawal that never comes.
inline HWND CreateUiTestWindow() {
    static const char className[] = "ClipwrenUiTest";
    static bool registered = false;
    if (!registered) {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
        registered = true;
    }
    HWND main = CreateWindowExA(0, className, "Clipwren", WS_OVERLAPPEDWINDOW, 0, 0, 640, 240, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!main) {
        return nullptr;
    }
    CreateMainControls(main);
    AppResources().mainWindow = main;
    // The program's first layout then sizes the list and its columns from the window. This window
    // has no layout: the list keeps the width a run starts with, and the controls a fixed place.
    const int32_t startWidth = TheView().listWidth;
    PrepareMainView();
    TheView().listWidth = startWidth;
    SetUrlOnlyColumns(GetDlgItem(main, EntryList));
    MoveWindow(GetDlgItem(main, TextView), 0, 0, 512, 200, FALSE);
    MoveWindow(GetDlgItem(main, EntryList), 0, 0, 512, 200, FALSE);
    return main;
}

inline void CheckRow(HWND list, int row) {
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(2);
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// Sets up the one history and view state and a fresh main window for every test, and releases
// them after it.
class UiWindowTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_NE(CreateUiTestWindow(), nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        DestroyWindow(MainWindow());
        AppResources().mainWindow = nullptr;
        StoreTest::TearDown();
    }

    HWND textView() { return GetDlgItem(MainWindow(), TextView); }
    HWND list() { return GetDlgItem(MainWindow(), EntryList); }

    // Asks for a rebuild and ticks row's check box: an action that drops the request leaves the
    // box ticked, one that rebuilds the list clears it (a rebuild makes the rows anew).
    void PendRebuildAndTick(int row) {
        view.refreshPending = 1;
        CheckRow(list(), row);
    }
    bool ListRebuilt(int row) { return IsRowChecked(list(), row) == 0; }

    // Rebuilds the visible view in this display mode.
    void Show(int32_t mode) {
        view.displayMode = mode;
        view.refreshPending = 1;
        RefreshDisplay();
    }
};

// What the screen shows is read in UTF-16 and compared in Shift_JIS, so that a check reads the
// same on any system: an A read would go through the system's code page.
inline std::string WindowTextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return Cp932From(text.c_str());
}

inline bool HasVisibleStyle(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// "title:width" of every column, left to right.
inline std::vector<std::string> ColumnsOf(HWND list) {
    std::vector<std::string> columns;
    for (int i = 0; i < 16; ++i) {
        WCHAR title[256] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = title;
        column.cchTextMax = 256;
        if (!SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column))) {
            break;
        }
        EXPECT_EQ(column.iSubItem, i);
        columns.push_back(Cp932From(title) + ":" + std::to_string(column.cx));
    }
    return columns;
}

inline int RowsOf(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

inline std::string CellOf(HWND list, int row, int column) {
    WCHAR text[2048] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 2048;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return Cp932From(text);
}


inline NMITEMACTIVATE RowNote(int row) {
    NMITEMACTIVATE note = {};
    note.hdr.hwndFrom = GetDlgItem(MainWindow(), EntryList);
    note.hdr.idFrom = EntryList;
    note.iItem = row;
    return note;
}

// What a popup menu offered.
struct SeenMenuItem {
    UINT id;
    std::string text;
};

// Drives the next popup menu of this thread from a thread timer that its modal loop dispatches:
// records its items, then chooses the item `choose` with the keyboard or, for 0, closes it.
class MenuDriver {
public:
    explicit MenuDriver(UINT choose) : choose_(choose) {
        active_ = this;
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~MenuDriver() {
        KillTimer(nullptr, timer_);
        active_ = nullptr;
    }
    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;

    const std::vector<SeenMenuItem>& items() const { return items_; }
    bool shown() const { return shown_; }

private:
    static BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found) {
        char className[32] = {};
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpA(className, "#32768") == 0 && IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        MenuDriver* self = active_;
        if (!self || self->shown_) {
            return;
        }
        HWND menuWindow = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&menuWindow));
        if (!menuWindow) {
            return;
        }
        self->shown_ = true;
        KillTimer(nullptr, self->timer_);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
        int position = -1;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            WCHAR text[512] = {};
            GetMenuStringW(menu, i, text, 512, MF_BYPOSITION);
            self->items_.push_back(SeenMenuItem{GetMenuItemID(menu, i), Cp932From(text)});
            if (GetMenuItemID(menu, i) == self->choose_) {
                position = i;
            }
        }
        if (position < 0) {
            EndMenu();
            return;
        }
        for (int i = 0; i <= position; ++i) {
            PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        }
        PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    }

    static inline MenuDriver* active_ = nullptr;
    UINT choose_;
    UINT_PTR timer_ = 0;
    bool shown_ = false;
    std::vector<SeenMenuItem> items_;
};
