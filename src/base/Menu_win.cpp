// Menu entry insertion.
#include "base/Menu_win.h"

#include "base/Cp932_win.h"

void InsertMenuEntry(HMENU menu, UINT position, BOOL byPosition, const char* text, UINT commandId,
                     HMENU subMenu, UINT state) {
    // The menu makes its own copy of the text.
    std::wstring wide = WideFrom(text);
    MENUITEMINFOW item = {};
    item.cbSize = MenuItemRecordSize;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = state;
    item.wID = commandId;
    item.dwTypeData = text ? &wide[0] : nullptr;
    item.cch = static_cast<UINT>(wide.size());
    if (subMenu) {
        item.fMask |= MIIM_SUBMENU;
        item.hSubMenu = subMenu;
    }
    InsertMenuItemW(menu, position, byPosition, &item);
}
