// Cost of the capture tick on a full history with an unchanged clipboard (match at slot 0), as
// the copy-back, an ANSI program and a Unicode program leave the clipboard, and the full
// duplicate search with lstrcmpiA over 127 entries that all differ from the text.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/AppResources_win.h"
#include "base/ids.h"
#include "capture/CaptureDecision.h"
#include "app/Capture_win.h"
#include "capture/Clipboard_win.h"
#include "history/HistoryStore.h"
#include "support/ClipboardAccess_win.h"

#include "BenchSupport.h"

namespace {

int CompareIgnoringCase(const char* a, const char* b) {
    return lstrcmpiA(a, b);
}

// Microseconds per tick: median and best of 15 batches of 200 ticks.
Samples TickSamples() {
    Samples samples;
    for (int batch = 0; batch < 15; ++batch) {
        Stopwatch watch;
        for (int i = 0; i < 200; ++i) {
            ClipboardTick();
        }
        samples.Add(watch.Microseconds() / 200);
    }
    return samples;
}

void PrintTick(const char* clipboard, const Samples& samples) {
    std::printf("tick, unchanged clipboard (%s), 127 entries: median %.1f us, best %.1f us\n", clipboard,
                samples.Median(), samples.Best());
}

std::wstring Widened(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size())) - 1));
    return wide;
}

} // namespace

int main() {
    AppResources().mainWindow =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HistoryStore& store = TheHistory();
    InitEmptyStore(store);
    for (int i = 0; i < MaxLiveEntries; ++i) {
        const std::string url = "http://127.0.0.1:1/some/longer/path/of/an/entry/" + std::to_string(i) + "x";
        InsertAtTop(store, url.c_str(), EntryKind::Url, "title");
    }
    const std::string newest = store.content[0];

    if (WriteClipboardText(newest.c_str()) != 1) {
        std::fprintf(stderr, "clipboard not available\n");
        return 1;
    }
    PrintTick("the copy-back", TickSamples());
    PutClipboardFormats({{CF_TEXT, AnsiBytes(newest)}});
    PrintTick("CF_TEXT of an ANSI program", TickSamples());
    PutClipboardUnicode(Widened(newest), 0x0411);
    PrintTick("CF_UNICODETEXT of a Unicode program", TickSamples());

    const std::string absent = "http://127.0.0.1:1/some/longer/path/of/an/entry/absent";
    const int searches = 1000;
    int index = 0;
    int found = 0;
    Stopwatch watch;
    for (int i = 0; i < searches; ++i) {
        found += FindDuplicate(store, absent.c_str(), CompareIgnoringCase, index);
    }
    std::printf("duplicate search, 127 lstrcmpiA misses: %.1f us (found %d)\n",
                watch.Microseconds() / searches, found);

    KillTimer(AppResources().mainWindow, CaptureTimer);
    DestroyWindow(AppResources().mainWindow);
    ReleaseStoreStrings(store);
    return 0;
}
