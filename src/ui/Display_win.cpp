// The display refresh: rebuilds the visible view when asked to, and repaints the main window.
#include "ui/Display_win.h"

#include "app/Shell_win.h"
#include "app/ids.h"
#include "ui/ComposedText.h"

void RefreshDisplay() {
    HistoryStore& store = TheHistory();
    HWND textView = GetDlgItem(MainWindow(), TextView);
    HWND list = GetDlgItem(MainWindow(), EntryList);
    if (store.refreshPending != 0) {
        store.refreshPending = 0;
        if ((store.displayMode & DisplayMode::ListDisplay) != 0) {
            FillEntryList(list, store);
            ShowWindow(textView, SW_HIDE);
            ShowWindow(list, SW_SHOW);
        } else {
            SetWindowTextA(textView, ComposeHistoryText(store));
            ShowWindow(textView, SW_SHOW);
            ShowWindow(list, SW_HIDE);
        }
    }
    InvalidateRgn(MainWindow(), nullptr, TRUE);
}
