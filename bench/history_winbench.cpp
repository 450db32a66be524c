// Prints how long LoadHistory and SaveHistory take on a full history file (127 entries,
// 1021-byte contents, long titles) in a scratch folder, disk, flush and replacement included.
#include <windows.h>

#include "history/HistoryFile_win.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Content(int n) {
    std::string line = "entry " + std::to_string(n) + " 表示更新テキスト、クリップボードから。 http://example.jp/page\r\n";
    std::string s;
    while (s.size() < 1021) {
        s += line;
    }
    s.resize(1021);
    return s;
}

std::string Title(int n) {
    std::string s = "ページタイトル " + std::to_string(n) + " ";
    while (s.size() < 250) {
        s += "長いページのタイトル - Long Page Title | ";
    }
    return s;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "cwhistbench" + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(folder.c_str(), nullptr) || !SetCurrentDirectoryA(folder.c_str())) {
        std::fprintf(stderr, "history_winbench: no scratch folder\n");
        return 1;
    }

    static HistoryStore store;
    LoadHistory(store);
    for (int i = 0; i < MaxLiveEntries; ++i) {
        InsertAtTop(store, Content(i).c_str(), EntryKind::Text, Title(i).c_str());
    }
    SaveHistory(store);

    const int rounds = 30;
    std::vector<double> loads;
    std::vector<double> saves;
    for (int round = 0; round < rounds; ++round) {
        LARGE_INTEGER t0, t1, t2;
        QueryPerformanceCounter(&t0);
        LoadHistory(store);
        QueryPerformanceCounter(&t1);
        if (store.count != MaxLiveEntries) {
            std::fprintf(stderr, "history_winbench: the history did not load back\n");
            return 1;
        }
        SaveHistory(store);
        QueryPerformanceCounter(&t2);
        loads.push_back(Milliseconds(t0, t1));
        saves.push_back(Milliseconds(t1, t2));
    }
    WIN32_FILE_ATTRIBUTE_DATA info{};
    GetFileAttributesExA("CWHistry.txt", GetFileExInfoStandard, &info);
    SetFileAttributesA("CWHistry.txt", FILE_ATTRIBUTE_NORMAL);
    DeleteFileA("CWHistry.txt");
    SetCurrentDirectoryA(temp);
    RemoveDirectoryA(folder.c_str());

    std::sort(loads.begin(), loads.end());
    std::sort(saves.begin(), saves.end());
    std::printf("CWHistry.txt with %d entries: %lu bytes\n", MaxLiveEntries, info.nFileSizeLow);
    std::printf("LoadHistory: median %.2f ms, best %.2f ms over %d rounds\n", loads[rounds / 2], loads[0], rounds);
    std::printf("SaveHistory (temporary file, flush, replace): median %.2f ms, best %.2f ms over %d rounds\n",
                saves[rounds / 2], saves[0], rounds);
    return 0;
}
