// Prints how long a full history (127 entries, 1021-byte contents, long titles) takes to compose
// into the file's text and to load back from it, without the disk.
#include "history/HistoryCodec.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A 1021-byte content as the clipboard capture keeps at most: lines of text with Shift_JIS.
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

double MedianMicroseconds(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main() {
    static HistoryStore store;
    InitEmptyStore(store);
    for (int i = 0; i < MaxLiveEntries; ++i) {
        InsertAtTop(store, Content(i).c_str(), EntryKind::Text, Title(i).c_str());
    }

    const int rounds = 200;
    std::vector<double> saveTimes;
    std::vector<double> loadTimes;
    size_t fileSize = 0;
    for (int round = 0; round < rounds; ++round) {
        HistoryText text;
        auto t0 = Clock::now();
        ComposeStoreText(store, text);
        auto t1 = Clock::now();
        fileSize = text.size;

        static HistoryStore loaded;
        auto t2 = Clock::now();
        HistoryLoadResult r = LoadStoreFromText(loaded, text.data, text.size);
        auto t3 = Clock::now();
        if (loaded.count != MaxLiveEntries || r.complete != 1) {
            std::fprintf(stderr, "history_bench: the history did not load back\n");
            return 1;
        }
        ReleaseStoreStrings(loaded);
        saveTimes.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        loadTimes.push_back(std::chrono::duration<double, std::micro>(t3 - t2).count());
    }
    ReleaseStoreStrings(store);

    std::printf("full history: %d entries, %zu-byte file\n", MaxLiveEntries, fileSize);
    std::printf("compose (save without the disk): median %.1f us, best %.1f us over %d rounds\n",
                MedianMicroseconds(saveTimes), *std::min_element(saveTimes.begin(), saveTimes.end()), rounds);
    std::printf("load (parse and copy into the store): median %.1f us, best %.1f us over %d rounds\n",
                MedianMicroseconds(loadTimes), *std::min_element(loadTimes.begin(), loadTimes.end()), rounds);
    return 0;
}
