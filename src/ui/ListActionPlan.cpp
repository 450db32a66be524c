// Row-to-entry lookup by identity and the index lists of the delete walks.
#include "ui/ListActionPlan.h"

#include <algorithm>

#include "capture/UrlShape.h"

int EntryOfRow(const HistoryStore& store, const ViewState& view, int row) {
    if (row < 0 || row >= view.listRowCount || row >= SlotArraySize || view.listRowMap[row] == -1) {
        return -1;
    }
    return FindSerial(store, view.listRowSerial[row]);
}

SerialList CheckedRowSerials(const ViewState& view, const int* checked) {
    SerialList list{};
    int rows = std::min<int>(view.listRowCount, SlotArraySize);
    for (int r = 1; r < rows; ++r) {
        if (checked[r] == 1 && view.listRowMap[r] != -1) {
            list.serial[list.count++] = view.listRowSerial[r];
        }
    }
    return list;
}

SlotList SlotsOfSerials(const HistoryStore& store, const SerialList& serials) {
    SlotList slots{};
    for (int k = 0; k < serials.count; ++k) {
        int slot = FindSerial(store, serials.serial[k]);
        if (slot > 0) {
            slots.slot[slots.count++] = slot;
        }
    }
    // Serials are unique, so their slots are too.
    std::sort(slots.slot, slots.slot + slots.count, [](int a, int b) { return a > b; });
    return slots;
}

SlotList DeleteAllSlots(int count) {
    SlotList slots{};
    for (int i = std::min(count, SlotArraySize) - 1; i >= 1; --i) {
        slots.slot[slots.count++] = i;
    }
    return slots;
}

int ShouldOpenWithShell(const HistoryStore& store, int slot) {
    HistoryEntry entry = EntryAt(store, slot);
    return entry.kind == EntryKind::Url && entry.content && IsUrl(entry.content) == 1 ? 1 : 0;
}
