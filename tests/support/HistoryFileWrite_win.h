// The history file written straight from a store, as the tests of the file layer write it.
#pragma once

#include "history/HistoryCodec.h"
#include "history/HistoryFile_win.h"

// Writes the live entries to the file and keeps the store as it is. Returns 1 when written.
inline int WriteHistoryFile(HistoryStore& store) {
    HistoryText text;
    if (!EncodeStore(store, text)) {
        return 0;
    }
    return WriteHistoryText(text) == HistoryWrite::Written ? 1 : 0;
}
