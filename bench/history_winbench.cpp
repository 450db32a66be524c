// Prints how long LoadHistory and SaveHistory take on a full history file (127 entries,
// 1021-byte contents, long titles) in a scratch folder, disk, flush and replacement included,
// and the two halves of a periodic save: the text composed on the window's thread, and the
// write the writer thread does with it.
#include <windows.h>

#include "history/HistoryFile_win.h"

#include <cstdio>
#include <string>

#include "BenchSupport.h"

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
        InsertAtTop(store, BenchContent(i).c_str(), EntryKind::Text, BenchTitle(i).c_str());
    }
    SaveHistory(store);

    const int rounds = 30;
    Samples loads;
    Samples saves;
    for (int round = 0; round < rounds; ++round) {
        Stopwatch watch;
        LoadHistory(store);
        loads.Add(watch.Microseconds() / 1000);
        if (store.count != MaxLiveEntries) {
            std::fprintf(stderr, "history_winbench: the history did not load back\n");
            return 1;
        }
        watch.Restart();
        SaveHistory(store);
        saves.Add(watch.Microseconds() / 1000);
    }
    // A periodic save: the window's thread composes, the writer thread writes.
    LoadHistory(store);
    Samples composes;
    Samples writes;
    for (int round = 0; round < rounds; ++round) {
        Stopwatch watch;
        HistoryText text;
        EncodeStore(store, text);
        composes.Add(watch.Microseconds() / 1000);
        watch.Restart();
        if (WriteHistoryText(text) != HistoryWrite::Written) {
            std::fprintf(stderr, "history_winbench: a periodic write failed\n");
            return 1;
        }
        writes.Add(watch.Microseconds() / 1000);
    }
    SaveHistory(store);

    WIN32_FILE_ATTRIBUTE_DATA info{};
    GetFileAttributesExA("CWHistry.txt", GetFileExInfoStandard, &info);
    SetFileAttributesA("CWHistry.txt", FILE_ATTRIBUTE_NORMAL);
    DeleteFileA("CWHistry.txt");
    SetCurrentDirectoryA(temp);
    RemoveDirectoryA(folder.c_str());

    std::printf("CWHistry.txt with %d entries: %lu bytes\n", MaxLiveEntries, info.nFileSizeLow);
    std::printf("LoadHistory: median %.2f ms, best %.2f ms over %d rounds\n", loads.Median(), loads.Best(),
                rounds);
    std::printf("SaveHistory (temporary file, flush, replace): median %.2f ms, best %.2f ms over %d rounds\n",
                saves.Median(), saves.Best(), rounds);
    std::printf("periodic save, window's thread (compose the text): median %.2f ms, worst %.2f ms\n",
                composes.Median(), composes.Worst());
    std::printf("periodic save, writer thread (change check, temporary file, flush, replace): median %.2f ms, "
                "worst %.2f ms\n",
                writes.Median(), writes.Worst());
    return 0;
}
