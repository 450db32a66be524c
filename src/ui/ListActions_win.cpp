// The actions on list rows (copy back, open or view, delete one, delete checked) and delete-all.
#include "ui/Display_win.h"

#include <shellapi.h>

#include <cstddef>
#include <string>

#include "app/Shell_win.h"
#include "app/ids.h"
#include "capture/Clipboard_win.h"
#include "ui/ActionTexts.h"
#include "ui/ListActionPlan.h"
#include "ui/ShellAddress.h"

namespace {

// Sized without hbmpItem, the member Windows 2000 added, so every version takes it.
constexpr UINT MenuItemInfoSize = offsetof(MENUITEMINFOA, hbmpItem);
static_assert(sizeof(void*) != 4 || MenuItemInfoSize == 44, "MENUITEMINFOA layout (i686)");
static_assert(sizeof(void*) != 8 || MenuItemInfoSize == 72, "MENUITEMINFOA layout (x86_64)");

struct PopupMenu {
    HMENU menu = CreatePopupMenu();
    ~PopupMenu() { Destroy(); }
    void Destroy() {
        if (menu) {
            DestroyMenu(menu);
            menu = nullptr;
        }
    }
};

void AppendItem(HMENU menu, UINT id, const std::string& text) {
    MENUITEMINFOA info = {};
    info.cbSize = MenuItemInfoSize;
    info.fMask = MIIM_TYPE | MIIM_ID;
    info.fType = MFT_STRING;
    info.wID = id;
    info.dwTypeData = const_cast<char*>(text.c_str());
    info.cch = static_cast<UINT>(text.size());
    // No item has command 0, so naming it by command appends at the end.
    InsertMenuItemA(menu, 0, FALSE, &info);
}

int Ask(const char* text, UINT buttons) {
    return MessageBoxA(MainWindow(), text, DeleteCaption, buttons);
}

HWND TheEntryList() {
    return GetDlgItem(MainWindow(), EntryList);
}

void OpenOrView(HistoryStore& store, uint32_t serial) {
    int slot = FindSerial(store, serial);
    if (slot == -1) {
        return;
    }
    HistoryEntry entry = EntryAt(store, slot);
    if (entry.kind == EntryKind::Text) {
        MessageBoxA(MainWindow(), ViewTextMessage(entry.title, entry.content).c_str(), ViewTextCaption,
                    MB_OK);
    } else if (entry.kind == EntryKind::Url) {
        // Kinds come from a history file anyone can edit; a "URL" entry holding a program's path
        // or a command would be started by the shell. Only an http:// address is opened.
        if (ShouldOpenWithShell(store, slot) == 1) {
            std::string address;
            if (ComposeShellAddress(entry.content, address) == 1) {
                OpenDocument(address.c_str(), nullptr);
            } else {
                MessageBoxA(MainWindow(), RefusedAddressMessage, DeleteCaption, MB_OK | MB_ICONWARNING);
            }
        }
    }
    store.refreshPending = 0;
}

void DeleteOne(HistoryStore& store, uint32_t serial) {
    int slot = FindSerial(store, serial);
    if (slot == -1) {
        return;
    }
    HistoryEntry entry = EntryAt(store, slot);
    std::string question = DeleteOneMessage(entry.kind, entry.title, entry.content);
    if (Ask(question.c_str(), MB_YESNO) != IDYES) {
        store.refreshPending = 0;
        return;
    }
    // A capture while the question was open may have moved the entry; the newest one stays.
    slot = FindSerial(store, serial);
    if (slot > 0) {
        RemoveAt(store, slot);
    }
    store.refreshPending = 1;
}

void DeleteChecked(HistoryStore& store) {
    HWND list = TheEntryList();
    int checked[SlotArraySize] = {};
    int rows = store.listRowCount < SlotArraySize ? store.listRowCount : SlotArraySize;
    int n = 0;
    for (int r = 0; r < rows; ++r) {
        checked[r] = IsRowChecked(list, r);
        n += checked[r] == 1 ? 1 : 0;
    }
    if (n == 0) {
        Ask(NothingCheckedMessage, MB_OK);
        return;
    }
    // Identities before the question: captures while it is open move the entries.
    SerialList serials = CheckedRowSerials(store, checked);
    if (Ask(DeleteCheckedMessage(n).c_str(), MB_YESNO) != IDYES) {
        store.refreshPending = 0;
        return;
    }
    SlotList slots = SlotsOfSerials(store, serials);
    for (int k = 0; k < slots.count; ++k) {
        RemoveAt(store, slots.slot[k]);
    }
    store.refreshPending = 1;
}

} // namespace

void OnListDoubleClick(const NMITEMACTIVATE* note) {
    HistoryStore& store = TheHistory();
    int slot = EntryOfRow(store, note->iItem);
    if (slot == -1) {
        return;
    }
    HistoryEntry entry = EntryAt(store, slot);
    if (entry.kind == EntryKind::Url || entry.kind == EntryKind::Text) {
        WriteClipboardText(entry.content);
    }
    if (ShouldPromote(slot) == 1) {
        PromoteToTop(store, slot);
        store.refreshPending = 1;
    } else {
        store.refreshPending = 0;
    }
    RefreshDisplay();
}

void ShowEntryMenu(const NMITEMACTIVATE* note) {
    HistoryStore& store = TheHistory();
    int slot = EntryOfRow(store, note->iItem);
    if (slot == -1) {
        return;
    }
    HistoryEntry entry = EntryAt(store, slot);
    uint32_t serial = entry.serial;
    PopupMenu popup;
    AppendItem(popup.menu, OpenItem, OpenItemText(entry.kind, entry.title));
    if (slot != 0) {
        AppendItem(popup.menu, DeleteOneItem, DeleteOneItemText);
        AppendItem(popup.menu, DeleteCheckedItem, DeleteCheckedItemText);
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    int chosen = static_cast<int>(TrackPopupMenu(popup.menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN,
                                                 cursor.x, cursor.y, 0, MainWindow(), nullptr));
    popup.Destroy();
    switch (chosen) {
    case OpenItem:
        OpenOrView(store, serial);
        break;
    case DeleteOneItem:
        DeleteOne(store, serial);
        break;
    case DeleteCheckedItem:
        DeleteChecked(store);
        break;
    default:
        break;
    }
    RefreshDisplay();
}

void DeleteAllEntries() {
    HistoryStore& store = TheHistory();
    if (Ask(DeleteAllMessage, MB_YESNO) == IDYES) {
        SlotList slots = DeleteAllSlots(store.count);
        for (int k = 0; k < slots.count; ++k) {
            RemoveAt(store, slots.slot[k]);
        }
        store.refreshPending = 1;
    } else {
        store.refreshPending = 0;
    }
    RefreshDisplay();
}

void OpenDocument(const char* file, const char* parameters) {
    ShellExecuteA(nullptr, "open", file, parameters, nullptr, SW_SHOWNORMAL);
}
