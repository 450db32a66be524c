// The actions on list rows (copy back, open or view, delete one, delete checked) and delete-all.
#include "ui/ListActions_win.h"

#include <shellapi.h>

#include <string>

#include "base/Cp932_win.h"
#include "base/Guards_win.h"
#include "base/Menu_win.h"
#include "base/MessageBox_win.h"
#include "base/AppResources_win.h"
#include "base/SystemLibrary_win.h"
#include "base/UiTexts.h"
#include "base/ids.h"
#include "capture/Clipboard_win.h"
#include "ui/ActionTexts.h"
#include "ui/Display_win.h"
#include "ui/EntryList_win.h"
#include "ui/ListActionPlan.h"
#include "ui/ShellAddress.h"
#include "ui/ViewState.h"

namespace {

void AppendItem(HMENU menu, UINT id, const std::string& text) {
    // No item has command 0, so naming it by command appends at the end.
    InsertMenuEntry(menu, 0, FALSE, text.c_str(), id, nullptr, 0);
}

int Ask(const char* text, UINT buttons) {
    return ShowMessageBox(MainWindow(), text, DeleteCaption, buttons);
}

HWND TheEntryList() {
    return GetDlgItem(MainWindow(), EntryList);
}

RefreshMark OpenOrView(HistoryStore& store, uint32_t serial) {
    int slot = FindSerial(store, serial);
    if (slot == -1) {
        return RefreshMark::Leave;
    }
    HistoryEntry entry = EntryAt(store, slot);
    if (entry.kind == EntryKind::Text) {
        ShowMessageBox(MainWindow(), ViewTextMessage(entry.title, entry.content).c_str(), ViewTextCaption, MB_OK);
    } else if (entry.kind == EntryKind::Url) {
        // Kinds come from a history file anyone can edit; a "URL" entry holding a program's path
        // or a command would be started by the shell. Only an http:// address is opened.
        if (ShouldOpenWithShell(store, slot) == 1) {
            std::string address;
            if (ComposeShellAddress(entry.content, address) == 1) {
                OpenDocument(address.c_str(), nullptr);
            } else {
                ShowMessageBox(MainWindow(), RefusedAddressMessage, ProgramCaption, MB_OK | MB_ICONWARNING);
            }
        }
    }
    return RefreshMark::Clear;
}

RefreshMark DeleteOne(HistoryStore& store, uint32_t serial) {
    int slot = FindSerial(store, serial);
    if (slot == -1) {
        return RefreshMark::Leave;
    }
    HistoryEntry entry = EntryAt(store, slot);
    std::string question = DeleteOneMessage(entry.kind, entry.title, entry.content);
    if (Ask(question.c_str(), MB_YESNO) != IDYES) {
        return RefreshMark::Clear;
    }
    // A capture while the question was open may have moved the entry; the newest one stays.
    slot = FindSerial(store, serial);
    if (slot > 0) {
        RemoveAt(store, slot);
    }
    return RefreshMark::Set;
}

RefreshMark DeleteChecked(HistoryStore& store, const ViewState& view) {
    HWND list = TheEntryList();
    int checked[SlotArraySize] = {};
    int rows = view.listRowCount < SlotArraySize ? view.listRowCount : SlotArraySize;
    int n = 0;
    for (int r = 0; r < rows; ++r) {
        checked[r] = IsRowChecked(list, r);
        n += checked[r] == 1 ? 1 : 0;
    }
    if (n == 0) {
        Ask(NothingCheckedMessage, MB_OK);
        return RefreshMark::Leave;
    }
    // Identities before the question: captures while it is open move the entries.
    SerialList serials = CheckedRowSerials(view, checked);
    if (Ask(DeleteCheckedMessage(n).c_str(), MB_YESNO) != IDYES) {
        return RefreshMark::Clear;
    }
    SlotList slots = SlotsOfSerials(store, serials);
    for (int k = 0; k < slots.count; ++k) {
        RemoveAt(store, slots.slot[k]);
    }
    return RefreshMark::Set;
}

} // namespace

void OnListDoubleClick(const NMITEMACTIVATE* note) {
    HistoryStore& store = TheHistory();
    ViewState& view = TheView();
    int slot = EntryOfRow(store, view, note->iItem);
    if (slot == -1) {
        return;
    }
    HistoryEntry entry = EntryAt(store, slot);
    if (entry.kind == EntryKind::Url || entry.kind == EntryKind::Text) {
        WriteClipboardText(entry.content);
    }
    if (ShouldPromote(slot) == 1) {
        PromoteToTop(store, slot);
        MarkRefresh(view, RefreshMark::Set);
    } else {
        MarkRefresh(view, RefreshMark::Clear);
    }
    RefreshDisplay();
}

void ShowEntryMenu(const NMITEMACTIVATE* note) {
    HistoryStore& store = TheHistory();
    ViewState& view = TheView();
    int slot = EntryOfRow(store, view, note->iItem);
    if (slot == -1) {
        return;
    }
    HistoryEntry entry = EntryAt(store, slot);
    uint32_t serial = entry.serial;
    MenuHandle popup(CreatePopupMenu());
    AppendItem(popup.get(), OpenItem, OpenItemText(entry.kind, entry.title));
    if (slot != 0) {
        AppendItem(popup.get(), DeleteOneItem, DeleteOneItemText);
        AppendItem(popup.get(), DeleteCheckedItem, DeleteCheckedItemText);
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    int chosen = static_cast<int>(TrackPopupMenu(popup.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN,
                                                 cursor.x, cursor.y, 0, MainWindow(), nullptr));
    // Gone before the action: its questions run nested loops of their own.
    popup.Reset();
    switch (chosen) {
    case OpenItem:
        MarkRefresh(view, OpenOrView(store, serial));
        break;
    case DeleteOneItem:
        MarkRefresh(view, DeleteOne(store, serial));
        break;
    case DeleteCheckedItem:
        MarkRefresh(view, DeleteChecked(store, view));
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
        MarkRefresh(TheView(), RefreshMark::Set);
    } else {
        MarkRefresh(TheView(), RefreshMark::Clear);
    }
    RefreshDisplay();
}

void OpenDocument(const char* file, const char* parameters) {
    // The shell is loaded at the first address opened: most runs never open one, and importing
    // it costs every start.
    using ShellExecuteFn = decltype(&ShellExecuteW);
    static ShellExecuteFn shellExecute = nullptr;
    if (!shellExecute) {
        HMODULE shell = LoadSystemLibrary("shell32.dll");
        FARPROC entry = shell ? GetProcAddress(shell, "ShellExecuteW") : nullptr;
        shellExecute = reinterpret_cast<ShellExecuteFn>(reinterpret_cast<void*>(entry));
    }
    if (shellExecute) {
        shellExecute(nullptr, L"open", WideFrom(file).c_str(), parameters ? WideFrom(parameters).c_str() : nullptr,
                     nullptr, SW_SHOWNORMAL);
    }
}
