// The title downloads of the main window, between the history, the downloads and the view.
#include "app/PageTitles_win.h"

#include "base/PercentEncoding.h"
#include "base/ids.h"
#include "history/HistoryStore.h"
#include "ui/ViewState.h"
#include "web/PageDownload_win.h"
#include "web/PageTitle_win.h"
#include "web/TitleQueue.h"

namespace {

TitleQueue g_waiting;
bool g_accepting = false;

int IsLive(uint32_t serial) {
    return FindSerial(TheHistory(), serial) != -1 ? 1 : 0;
}

// Starts waiting downloads in copy order while the limits allow; one whose entry has gone is
// never started, and one that cannot start keeps the fallback.
void StartWaitingDownloads() {
    HistoryStore& store = TheHistory();
    while (MayStartDownload(PageDownloadsRunning(), PageDownloadThreads()) == 1) {
        const uint32_t serial = TakeNextTitle(g_waiting, IsLive);
        if (serial == 0) {
            return;
        }
        // WinINet would read bytes from 0x80 up in the system's code page.
        const std::string address = PercentEncodeHighBytes(EntryAt(store, FindSerial(store, serial)).content);
        if (!StartPageDownload(serial, address.c_str())) {
            TraceFallback(serial, nullptr, 0);
        }
    }
}

void PutTitle(const PageTitleResult& result) {
    char title[ConvertedTitleBytes];
    const int converted = ConvertPageTitle(result, title);
    TraceFallback(result.serial, &result, converted);
    if (converted == 1 && SetEntryTitle(TheHistory(), result.serial, title) == 1) {
        MarkRefresh(TheView(), RefreshMark::Set);
    }
}

} // namespace

void AcceptTitlesFor(HWND window) {
    InitTitleQueue(g_waiting);
    g_accepting = true;
    AcceptPageTitles(window, PageTitleMessage);
}

void RequestPageTitle(uint32_t serial) {
    if (!g_accepting) {
        return;
    }
    EnqueueTitle(g_waiting, serial, IsLive);
    StartWaitingDownloads();
}

void OnPageTitle(WPARAM serial, LPARAM result) {
    auto* received = reinterpret_cast<PageTitleResult*>(result);
    if (received && g_accepting) {
        PutTitle(*received);
    } else if (serial != 0 && g_accepting) {
        // A download ended but its result could not be made (no memory).
        TraceFallback(static_cast<uint32_t>(serial), nullptr, 0);
    }
    ReleasePageTitleResult(received);
    if (g_accepting) {
        StartWaitingDownloads();
    }
}

void StopTitles() {
    g_accepting = false;
    StopAcceptingPageTitles();
    InitTitleQueue(g_waiting);
}
