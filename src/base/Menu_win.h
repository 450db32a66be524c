// Menu entries, inserted the one way both the menu bar and the list's context menu use.
#pragma once

#include <windows.h>

#include <cstddef>

// A MENUITEMINFOA without its last member, hbmpItem (added by Windows 2000), which every menu
// version accepts.
constexpr UINT MenuItemRecordSize = static_cast<UINT>(offsetof(MENUITEMINFOA, hbmpItem));
static_assert(sizeof(void*) != 4 || MenuItemRecordSize == 44, "MENUITEMINFOA layout (i686)");
static_assert(sizeof(void*) != 8 || MenuItemRecordSize == 72, "MENUITEMINFOA layout (x86_64)");

// Inserts one string entry; subMenu may be null. The text is handed to the menu in a copy from
// the process heap, released once the menu has made its own. Naming a command that no entry has
// (byPosition FALSE, position 0) appends at the end.
void InsertMenuEntry(HMENU menu, UINT position, BOOL byPosition, const char* text, UINT commandId,
                     HMENU subMenu, UINT state);
