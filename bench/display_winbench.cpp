// Prints how long one rebuild of the visible history takes with a full history (127 entries,
// 1021-byte contents, long titles): the composed text into the text view, and the check-box list
// in each text mode.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/AppResources_win.h"
#include "base/ids.h"
#include "history/HistoryStore.h"
#include "ui/ComposedText.h"
#include "ui/Display_win.h"
#include "ui/EntryList_win.h"
#include "ui/ViewState.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Content(int n, bool url) {
    std::string s = url ? "http://example.jp/" + std::to_string(n) + "/" : "entry " + std::to_string(n) + " ";
    while (s.size() < 1021) {
        s += url ? "path/" : "クリップボードから写した文章。";
    }
    s.resize(url ? 1020 : 1021);
    if (url) {
        s += "/";
    }
    return s;
}

std::string Title(int n) {
    std::string s = "ページタイトル " + std::to_string(n) + " ";
    while (s.size() < 250) {
        s += "長いページのタイトル - Long Page Title | ";
    }
    return s;
}

HWND CreateBenchWindow() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ClipwrenDisplayBench";
    RegisterClassA(&windowClass);
    HWND main = CreateWindowExA(0, windowClass.lpszClassName, "Clipwren", WS_OVERLAPPEDWINDOW, 0, 0, 640, 240,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
    CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 512, 200, main,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(TextView)), nullptr, nullptr);
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "SysListView32", "", 0x50000001, 0, 0, 512, 200, main,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(EntryList)), nullptr, nullptr);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0x25, 0x25);
    SetUrlOnlyColumns(list);
    return main;
}

double MedianMilliseconds(int32_t mode, int rounds, bool composeOnly) {
    std::vector<double> samples;
    for (int i = 0; i < rounds; ++i) {
        TheView().displayMode = mode;
        TheView().refreshPending = 1;
        Clock::time_point start = Clock::now();
        if (composeOnly) {
            RebuildViewText(TheHistory(), TheView());
        } else {
            RefreshDisplay();
        }
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main() {
    HistoryStore& store = TheHistory();
    ViewState& view = TheView();
    InitEmptyStore(store);
    InitViewState(view);
    for (int i = 0; i < MaxLiveEntries; ++i) {
        bool url = i % 2 == 0;
        std::string title = url ? Title(i) : std::to_string(1021) + " Byte";
        InsertAtTop(store, Content(i, url).c_str(), url ? EntryKind::Url : EntryKind::Text, title.c_str());
    }
    AppResources().mainWindow = CreateBenchWindow();
    const int rounds = 21;
    std::printf("rebuild with %d entries, median of %d:\n", store.count, rounds);
    for (int32_t mode : {1, 2, 4}) {
        double compose = MedianMilliseconds(mode, rounds, true);
        double refresh = MedianMilliseconds(mode, rounds, false);
        std::printf("  text view, mode %d: %.2f ms (composing %.3f ms, %zu bytes)\n", static_cast<int>(mode),
                    refresh, compose, std::string(view.displayText).size());
    }
    for (int32_t mode : {1, 2, 4}) {
        double refresh = MedianMilliseconds(mode | DisplayMode::ListDisplay, rounds, false);
        std::printf("  list, mode %d: %.2f ms (%d rows)\n", static_cast<int>(mode), refresh,
                    view.listRowCount);
    }
    DestroyWindow(AppResources().mainWindow);
    ReleaseStoreStrings(store);
    ReleaseViewState(view);
    return 0;
}
