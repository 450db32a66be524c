// Menu entries, inserted the one way both the menu bar and the list's context menu use.
#pragma once

#include <windows.h>

#include <cstddef>

// A MENUITEMINFOW without its last member, hbmpItem (added by Windows 2000), which every menu
// version accepts.
constexpr UINT MenuItemRecordSize = static_cast<UINT>(offsetof(MENUITEMINFOW, hbmpItem));
static_assert(sizeof(void*) != 4 || MenuItemRecordSize == 44, "MENUITEMINFOW layout (i686)");
static_assert(sizeof(void*) != 8 || MenuItemRecordSize == 72, "MENUITEMINFOW layout (x86_64)");

// Inserts one string entry; subMenu may be null. The text (Shift_JIS) is handed to the menu in
// UTF-16, so that it reads the same on any system. Naming a command that no entry has
// (byPosition FALSE, position 0) appends at the end.
void InsertMenuEntry(HMENU menu, UINT position, BOOL byPosition, const char* text, UINT commandId,
                     HMENU subMenu, UINT state);
