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

// List notifications (NM_DBLCLK, NM_RCLICK) and the delete-all command.
void OnListDoubleClick(const NMITEMACTIVATE* note);
void ShowEntryMenu(const NMITEMACTIVATE* note);
void DeleteAllEntries();
