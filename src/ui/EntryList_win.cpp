// The check-box list: column sets, rows and check marks of the list view control.
#include "ui/EntryList_win.h"

#include <commctrl.h>

#include "base/Cp932_win.h"
#include "base/Guards_win.h"
#include "ui/EntryRows.h"
#include "ui/TextMode.h"

namespace {

// Inserts the new columns in front of the old ones, then deletes behind the new set as often as
// any set can have columns, so that exactly the new set remains.
void InstallColumns(HWND list, const ListColumnSet& set) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    for (int position = 0; position < set.count; ++position) {
        column.cx = set.column[position].width;
        std::wstring title = WideFrom(set.column[position].title);
        column.pszText = &title[0];
        column.iSubItem = position;
        SendMessageW(list, LVM_INSERTCOLUMNW, position, reinterpret_cast<LPARAM>(&column));
    }
    for (int k = 0; k < 4; ++k) {
        SendMessageA(list, LVM_DELETECOLUMN, set.count, 0);
    }
}

void InstallColumnsFor(HWND list, int32_t textMode) {
    InstallColumns(list, ColumnsForTextMode(textMode, TheView().listWidth));
}

// Column 0 inserts row `row` with the text; any other column sets that cell of the existing row.
void SetListCell(HWND list, int row, int column, const char* text) {
    std::wstring wide = WideFrom(text);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = &wide[0];
    SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

} // namespace

void SetUrlOnlyColumns(HWND list) {
    InstallColumnsFor(list, DisplayMode::UrlOnly);
}

int IsRowChecked(HWND list, int row) {
    LRESULT state = SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
    // State image 1 is the empty box, 2 the ticked one.
    return ((state & LVIS_STATEIMAGEMASK) >> 12) - 1 == 1 ? 1 : 0;
}

void FillEntryList(HWND list, const HistoryStore& store, ViewState& view) {
    int32_t textMode = TextModeOf(view.displayMode);
    if (textMode != DisplayMode::UrlOnly && textMode != DisplayMode::UrlTitle && textMode != DisplayMode::UrlText) {
        return;
    }
    InstallColumnsFor(list, textMode);
    // A shown list repaints after every inserted row; with a full history that alone takes
    // seconds. It is painted once, when the rows are in.
    RedrawOff paintOnce(list);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    int rows = BuildRowMap(store, view, textMode);
    for (int row = 0; row < rows; ++row) {
        ListRowCells cells = RowCells(store, textMode, view.listRowMap[row]);
        for (int column = 0; column < cells.count; ++column) {
            SetListCell(list, row, column, cells.cell[column]);
        }
    }
}
