// The history file written straight from a store, as the tests of the file layer write it.
#pragma once

#include <windows.h>

#include <string>

#include "history/HistoryCodec.h"
#include "history/HistoryFile_win.h"
#include "history/HistoryTestSeams.h"
#include "support/ScratchFolder_win.h"

// Writes the live entries to the file and keeps the store as it is. Returns 1 when written.
inline int WriteHistoryFile(HistoryStore& store) {
    HistoryText text;
    if (!EncodeStore(store, text)) {
        return 0;
    }
    return WriteHistoryText(text) == HistoryWrite::Written ? 1 : 0;
}

// Takes every name a set-aside copy may have in the folder, "CWHistry.kept.txt" to
// "CWHistry.kept-<last>.txt", as years of copies would, and makes last the end of the names.
// False when a name could not be made.
inline bool TakeEveryKeptName(const std::string& folder, int last) {
    EndKeptNamesAt(last);
    for (int n = 1; n <= last; ++n) {
        const std::string name = n == 1 ? "CWHistry.kept.txt" : "CWHistry.kept-" + std::to_string(n) + ".txt";
        if (!WriteWholeFile(folder + "\\" + name, "")) {
            return false;
        }
    }
    return true;
}

// This process's n-th temporary name for a file of that base ("CWHistry", "CWHistry.unsaved").
inline std::string OwnTemporaryName(int n = 1, const std::string& base = "CWHistry") {
    const std::string pid = std::to_string(GetCurrentProcessId());
    return base + "." + pid + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".tmp";
}
