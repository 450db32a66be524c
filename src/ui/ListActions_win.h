// The actions on list rows (copy back, open or view, delete one, delete checked) and delete-all.
#pragma once

#include <windows.h>
#include <commctrl.h>

// List notifications (NM_DBLCLK, NM_RCLICK) and the delete-all command.
void OnListDoubleClick(const NMITEMACTIVATE* note);
void ShowEntryMenu(const NMITEMACTIVATE* note);
void DeleteAllEntries();

// Asks the shell to open file (Shift_JIS, as entries are) with the verb "open"; failures are not
// reported.
void OpenDocument(const char* file, const char* parameters);
