// The history composed into one block of text for the text view.
#pragma once

#include <cstddef>
#include <cstdint>

#include "history/HistoryStore.h"
#include "ui/ViewState.h"

// Writes the blocks of every entry the text mode admits, newest first, into out and returns their
// length in bytes (no terminating zero is written). With out null only the length is computed,
// so the same walk sizes the buffer and then fills it.
size_t WriteViewBlocks(const HistoryStore& store, int32_t textMode, char* out);

// Rebuilds the view's displayText for its text mode and returns it; the view keeps ownership.
// An empty history leaves displayText as it is; a history with entries but none admitted gives
// "Non". When memory runs out the previous text stays.
const char* RebuildViewText(const HistoryStore& store, ViewState& view);
