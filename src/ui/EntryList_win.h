// The check-box list: column sets, rows and check marks of the list view control.
#pragma once

#include <windows.h>

#include "history/HistoryStore.h"
#include "ui/ViewState.h"

// Rebuilds the list's columns, rows and the view's row map for the view's text mode.
void FillEntryList(HWND list, const HistoryStore& store, ViewState& view);

// Install one column set, replacing whatever columns the list had.
void SetUrlOnlyColumns(HWND list);
void SetUrlTitleColumns(HWND list);
void SetUrlTextColumns(HWND list);

// Column 0 inserts row `row` with the text; any other column sets that cell of the existing row.
void SetListCell(HWND list, int row, int column, const char* text);

// 1 when the row's check box is ticked, else 0.
int IsRowChecked(HWND list, int row);
