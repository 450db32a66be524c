// Menu entry insertion.
#include "base/Menu_win.h"

#include "base/Guards_win.h"

void InsertMenuEntry(HMENU menu, UINT position, BOOL byPosition, const char* text, UINT commandId,
                     HMENU subMenu, UINT state) {
    const int size = text ? lstrlenA(text) + 1 : 0;
    ProcessHeapBlock copy(size ? static_cast<SIZE_T>(size) : 1);
    if (text && copy.get()) {
        CopyMemory(copy.get(), text, static_cast<SIZE_T>(size));
    }
    MENUITEMINFOA item = {};
    item.cbSize = MenuItemRecordSize;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = state;
    item.wID = commandId;
    item.dwTypeData = text ? copy.get() : nullptr;
    item.cch = size ? static_cast<UINT>(size - 1) : 0;
    if (subMenu) {
        item.fMask |= MIIM_SUBMENU;
        item.hSubMenu = subMenu;
    }
    InsertMenuItemA(menu, position, byPosition, &item);
}
