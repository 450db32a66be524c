// Display refresh and list actions (interim: the display is only repainted).
#include "ui/Display_win.h"

#include "app/Shell_win.h"

void RefreshDisplay() {
    HistoryStore& store = TheHistory();
    store.refreshPending = 0;
    InvalidateRgn(MainWindow(), nullptr, TRUE);
}

void FillEntryList(HWND, HistoryStore&) {}
void SetUrlOnlyColumns(HWND) {}
void SetUrlTitleColumns(HWND) {}
void SetUrlTextColumns(HWND) {}
void OnListDoubleClick(const NMITEMACTIVATE*) {}
void ShowEntryMenu(const NMITEMACTIVATE*) {}
void DeleteAllEntries() {}
