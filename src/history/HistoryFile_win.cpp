// History file (interim: starts empty and writes nothing until the file format is connected).
#include "history/HistoryFile_win.h"

#include <windows.h>

void LoadHistory(HistoryStore& store) {
    InitEmptyStore(store);
    store.listFont = CreateFontA(16, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                 OUT_CHARACTER_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 FIXED_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック");
}

void SaveHistory(HistoryStore& store) {
    ReleaseStoreStrings(store);
    DeleteObject(static_cast<HFONT>(store.listFont));
    store.listFont = nullptr;
}

int WriteHistoryFile(HistoryStore&) { return 0; }
