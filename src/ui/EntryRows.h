// What the check-box list shows per text mode: its columns, the rows and the row map.
#pragma once

#include <cstdint>

#include "history/HistoryStore.h"
#include "ui/ViewState.h"

struct ListColumn {
    const char* title;
    int width;
};

// The columns of one text mode, at positions 0 .. count - 1; count is 0 for an unknown mode.
struct ListColumnSet {
    int count;
    ListColumn column[3];
};

// n / d for d > 0, to the nearest integer with an exact half going to the even neighbour; any n
// (negative widths included) gives a result without overflow.
int RoundedQuotient(int n, int d);

ListColumnSet ColumnsForTextMode(int32_t textMode, int listWidth);

// The cell texts of the row of the entry at slot, for an entry the text mode admits.
struct ListRowCells {
    int count;
    const char* cell[3];
};
ListRowCells RowCells(const HistoryStore& store, int32_t textMode, int slot);

// Writes the view's row map and its serials for every entry the text mode admits, newest first, and
// sets listRowCount. Slots from listRowCount up keep whatever they held.
int BuildRowMap(const HistoryStore& store, ViewState& view, int32_t textMode);
