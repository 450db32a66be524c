// Builds a history for the presentation tests: entries listed newest first.
#pragma once

#include <string>
#include <vector>

#include "history/HistoryStore.h"

struct TestEntry {
    std::string content;
    EntryKind kind;
    std::string title;
};

inline TestEntry Url(const std::string& content, const std::string& title) {
    return TestEntry{content, EntryKind::Url, title};
}

inline TestEntry Text(const std::string& content) {
    return TestEntry{content, EntryKind::Text, std::to_string(content.size()) + " Byte"};
}

inline TestEntry OtherKind(const std::string& content, int kind) {
    return TestEntry{content, static_cast<EntryKind>(kind), "odd"};
}

// Replaces the store's contents by these entries; entries[0] ends up at slot 0.
inline void FillStore(HistoryStore& store, const std::vector<TestEntry>& entries) {
    ReleaseStoreStrings(store);
    InitEmptyStore(store);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        InsertAtTop(store, it->content.c_str(), it->kind, it->title.c_str());
    }
}
