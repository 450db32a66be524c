// Cost of the capture tick on a full history: an unchanged clipboard (match at slot 0), and the
// full duplicate search with lstrcmpiA over 127 entries that all differ from the text.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/Shell_win.h"
#include "base/ids.h"
#include "capture/CaptureDecision.h"
#include "app/Capture_win.h"
#include "capture/Clipboard_win.h"
#include "history/HistoryStore.h"

#include "BenchSupport.h"

namespace {

int CompareIgnoringCase(const char* a, const char* b) {
    return lstrcmpiA(a, b);
}

} // namespace

int main() {
    Shell().mainWindow =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HistoryStore& store = TheHistory();
    InitEmptyStore(store);
    for (int i = 0; i < MaxLiveEntries; ++i) {
        const std::string url = "http://127.0.0.1:1/some/longer/path/of/an/entry/" + std::to_string(i) + "x";
        InsertAtTop(store, url.c_str(), EntryKind::Url, "title");
    }
    if (WriteClipboardText(store.content[0]) != 1) {
        std::fprintf(stderr, "clipboard not available\n");
        return 1;
    }

    const int ticks = 1000;
    Stopwatch watch;
    for (int i = 0; i < ticks; ++i) {
        ClipboardTick(CaptureTimer);
    }
    std::printf("tick, unchanged clipboard, 127 entries: %.1f us\n", watch.Microseconds() / ticks);

    const std::string absent = "http://127.0.0.1:1/some/longer/path/of/an/entry/absent";
    const int searches = 1000;
    int index = 0;
    int found = 0;
    watch.Restart();
    for (int i = 0; i < searches; ++i) {
        found += FindDuplicate(store, absent.c_str(), CompareIgnoringCase, index);
    }
    std::printf("duplicate search, 127 lstrcmpiA misses: %.1f us (found %d)\n",
                watch.Microseconds() / searches, found);

    KillTimer(Shell().mainWindow, CaptureTimer);
    DestroyWindow(Shell().mainWindow);
    ReleaseStoreStrings(store);
    return 0;
}
