// The visible history: display refresh, the check-box list and the actions on its rows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "history/HistoryStore.h"

// Rebuilds the text view or the list when refreshPending is set, and repaints the main window.
void RefreshDisplay();

// Rebuilds the list's columns, rows and row map for the current text mode.
void FillEntryList(HWND list, HistoryStore& store);

// Install one column set, replacing whatever columns the list had.
void SetUrlOnlyColumns(HWND list);
void SetUrlTitleColumns(HWND list);
void SetUrlTextColumns(HWND list);

// Column 0 inserts row `row` with the text; any other column sets that cell of the existing row.
void SetListCell(HWND list, int row, int column, const char* text);

// 1 when the row's check box is ticked, else 0.
int IsRowChecked(HWND list, int row);

// List notifications (NM_DBLCLK, NM_RCLICK) and the delete-all command.
void OnListDoubleClick(const NMITEMACTIVATE* note);
void ShowEntryMenu(const NMITEMACTIVATE* note);
void DeleteAllEntries();

// Asks the shell to open file with the verb "open"; failures are not reported.
void OpenDocument(const char* file, const char* parameters);
