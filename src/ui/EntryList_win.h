// The check-box list: column sets, rows and check marks of the list view control.
#pragma once

#include <windows.h>

#include "history/HistoryStore.h"
#include "ui/ViewState.h"

// Rebuilds the list's columns, rows and the view's row map for the view's text mode.
void FillEntryList(HWND list, const HistoryStore& store, ViewState& view);

// Installs the URL-only column set, replacing whatever columns the list had (the list's first).
void SetUrlOnlyColumns(HWND list);

// 1 when the row's check box is ticked, else 0.
int IsRowChecked(HWND list, int row);
