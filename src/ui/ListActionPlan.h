// Which entries the list actions reach: rows found again by identity, and the delete walks.
#pragma once

#include <cstdint>

#include "history/HistoryStore.h"
#include "ui/ViewState.h"

// Slot of the entry a row showed at the last rebuild, found again by its serial so that captures
// since then (or during a confirmation) cannot lead the row to another entry; -1 when the row is
// outside the rows made, has no entry, or its entry has left the live range.
int EntryOfRow(const HistoryStore& store, const ViewState& view, int row);

// Serials of the entries of the checked rows 1 and up (row 0 is never deleted), taken before
// the confirmation. checked[r] is IsRowChecked of row r for r < listRowCount.
struct SerialList {
    int count;
    uint32_t serial[SlotArraySize];
};
SerialList CheckedRowSerials(const ViewState& view, const int* checked);

// Slots to remove, highest first, so each removal leaves the slots still to come in place.
struct SlotList {
    int count;
    int slot[SlotArraySize];
};

// The live slots of these serials, leaving out slot 0: the newest entry is never deleted.
SlotList SlotsOfSerials(const HistoryStore& store, const SerialList& serials);

// count - 1 down to 1: everything but the newest entry.
SlotList DeleteAllSlots(int count);

// 1 when the entry may be handed to the shell's "open": a URL entry whose content has the shape
// of a web address.
int ShouldOpenWithShell(const HistoryStore& store, int slot);
