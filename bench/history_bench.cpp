// Prints how long a full history (127 entries, 1021-byte contents, long titles) takes to compose
// into the file's text and to load back from it, without the disk.
#include "history/HistoryCodec.h"

#include <cstdio>

#include "BenchSupport.h"

int main() {
    static HistoryStore store;
    InitEmptyStore(store);
    for (int i = 0; i < MaxLiveEntries; ++i) {
        InsertAtTop(store, BenchContent(i).c_str(), EntryKind::Text, BenchTitle(i).c_str());
    }

    const int rounds = 200;
    Samples saveTimes;
    Samples loadTimes;
    size_t fileSize = 0;
    for (int round = 0; round < rounds; ++round) {
        HistoryText text;
        Stopwatch watch;
        EncodeStore(store, text);
        saveTimes.Add(watch.Microseconds());
        fileSize = text.size;

        static HistoryStore loaded;
        watch.Restart();
        HistoryLoadResult r = LoadStoreFromText(loaded, text.data, text.size);
        loadTimes.Add(watch.Microseconds());
        if (loaded.count != MaxLiveEntries || r.complete != 1) {
            std::fprintf(stderr, "history_bench: the history did not load back\n");
            return 1;
        }
        ReleaseStoreStrings(loaded);
    }
    ReleaseStoreStrings(store);

    std::printf("full history: %d entries, %zu-byte file\n", MaxLiveEntries, fileSize);
    std::printf("compose (save without the disk): median %.1f us, best %.1f us over %d rounds\n",
                saveTimes.Median(), saveTimes.Best(), rounds);
    std::printf("load (parse and copy into the store): median %.1f us, best %.1f us over %d rounds\n",
                loadTimes.Median(), loadTimes.Best(), rounds);
    return 0;
}
