// One debug line per failed save. It names no path: any program in the session can read it.
#include "app/SaveTrace_win.h"

#include <windows.h>

#include <cstdio>

void TraceSave(HistoryWrite result) {
    if (result != HistoryWrite::Failed) {
        return;
    }
    const unsigned long error = GetLastError();
    char line[96];
    std::snprintf(line, sizeof line, "Clipwren: the history could not be saved: error %lu\n", error);
    OutputDebugStringA(line);
}
