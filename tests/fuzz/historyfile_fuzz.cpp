// Fuzz target for the history file reader: any bytes must load without reading outside them,
// and what loads must save and load again unchanged and completely, with a byte more as a loss.
#include "history/HistoryCodec.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool SameRecord(const HistoryRecord& a, const HistoryRecord& b) {
    return a.kind == b.kind && a.titleLength == b.titleLength && a.contentLength == b.contentLength &&
           std::memcmp(a.title, b.title, a.titleLength) == 0 &&
           std::memcmp(a.content, b.content, a.contentLength) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const char* data = reinterpret_cast<const char*>(bytes);
    ParseKindLine(data, size);

    HistoryRecord records[HistoryCapacity];
    const HistoryReadResult read = ReadHistoryRecords(data, size, records, HistoryCapacity);
    Check(read.records >= 0 && read.records <= HistoryCapacity);
    for (int i = 0; i < read.records; ++i) {
        const HistoryRecord& r = records[i];
        Check(r.title >= data && r.titleLength <= size && r.title + r.titleLength <= data + size);
        Check(r.content >= data && r.contentLength <= size && r.content + r.contentLength <= data + size);
        Check(std::memchr(r.title, 0, r.titleLength) == nullptr);
        Check(std::memchr(r.content, 0, r.contentLength) == nullptr);
    }

    static HistoryStore store;
    const HistoryLoadResult loaded = LoadStoreFromText(store, data, size);
    Check(loaded.records == read.records);
    Check(loaded.complete == (read.records <= MaxLiveEntries ? read.complete : 0));
    // A complete reading accounts for every byte: none of them is a zero byte.
    Check(!read.complete || std::memchr(data, 0, size) == nullptr);
    Check(store.count == (read.records < MaxLiveEntries ? read.records : MaxLiveEntries));

    // Saving what was loaded writes a file that loads into the same entries, completely.
    HistoryText saved;
    Check(EncodeStore(store, saved) == 1);
    std::vector<char> exact(saved.data, saved.data + saved.size);
    HistoryRecord again[HistoryCapacity];
    const HistoryReadResult reread = ReadHistoryRecords(exact.data(), exact.size(), again, HistoryCapacity);
    Check(reread.complete == 1 && reread.records == store.count);
    for (int i = 0; i < store.count; ++i) {
        Check(SameRecord(records[i], again[i]));
    }
    // A byte before or after what the program writes is a loss.
    exact.insert(exact.begin(), 'x');
    Check(ReadHistoryRecords(exact.data(), exact.size(), again, HistoryCapacity).complete == 0);
    exact.erase(exact.begin());
    exact.push_back('x');
    Check(ReadHistoryRecords(exact.data(), exact.size(), again, HistoryCapacity).complete == 0);

    ReleaseStoreStrings(store);
    Check(store.ownedStrings == 0);
    return 0;
}
