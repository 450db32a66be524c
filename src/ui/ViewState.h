// How the entries are shown: the display mode, the composed text, the list's row map and width,
// and whether the next refresh rebuilds the view. Every request to rebuild goes through
// MarkRefresh, so one place decides it. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/DisplayMode.h"
#include "base/RefreshMark.h"
#include "history/HistoryStore.h"

struct ViewState {
    char* displayText;     // the text view's content at the last rebuild; owned here
    int32_t displayMode;   // a DisplayMode word
    int32_t listRowCount;
    int32_t listRowMap[SlotArraySize];     // row -> slot at the last rebuild, -1 = no entry
    uint32_t listRowSerial[SlotArraySize]; // row -> serial of that entry at the last rebuild
    int32_t listWidth;
    int32_t refreshPending; // 1: the next RefreshDisplay rebuilds the visible view
    int32_t ownedStrings;   // strings currently allocated for the view (leak checks)
};

// The state a run starts with: displayText "Non", displayMode UrlOnly, row map -1, listWidth
// 512, refreshPending 1. Returns 0 only when the "Non" copy could not be allocated (displayText
// is then null).
int InitViewState(ViewState& view);

// Replaces displayText by a copy of text; returns 0 (and keeps the old text) when out of memory.
int SetDisplayText(ViewState& view, const char* text, size_t len);

// Takes over text, a string from AllocText, as the new displayText.
void AdoptDisplayText(ViewState& view, char* text);

// Releases displayText.
void ReleaseViewState(ViewState& view);

// Applies what an action reports: Set asks for a rebuild, Clear drops one asked for earlier,
// Leave keeps whatever was asked.
void MarkRefresh(ViewState& view, RefreshMark mark);

// The process's one view state, used by the Win32 shell. Portable code takes it as a parameter.
ViewState& TheView();
