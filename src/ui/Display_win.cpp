// The display refresh: rebuilds the visible view when asked to, and repaints the main window.
#include "ui/Display_win.h"

#include "base/AppResources_win.h"
#include "base/Cp932_win.h"
#include "base/ids.h"
#include "history/HistoryStore.h"
#include "ui/ComposedText.h"
#include "ui/EntryList_win.h"
#include "ui/ViewState.h"

void RefreshDisplay() {
    const HistoryStore& store = TheHistory();
    ViewState& view = TheView();
    HWND textView = GetDlgItem(MainWindow(), TextView);
    HWND list = GetDlgItem(MainWindow(), EntryList);
    if (view.refreshPending != 0) {
        view.refreshPending = 0;
        if ((view.displayMode & DisplayMode::ListDisplay) != 0) {
            FillEntryList(list, store, view);
            ShowWindow(textView, SW_HIDE);
            ShowWindow(list, SW_SHOW);
        } else {
            SetWindowTextW(textView, WideFrom(RebuildViewText(store, view)).c_str());
            ShowWindow(textView, SW_SHOW);
            ShowWindow(list, SW_HIDE);
        }
    }
    InvalidateRgn(MainWindow(), nullptr, TRUE);
}
