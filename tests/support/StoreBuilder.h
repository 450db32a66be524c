// Shared fixtures of the portable tests: the one store and view state with their leak checks,
// histories built from entry lists (newest first), and history file records.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "history/HistoryStore.h"
#include "ui/ViewState.h"

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

// One record of the history file, exactly as the program writes it.
inline std::string Record(const std::string& number, const std::string& kind, const std::string& title,
                          const std::string& content) {
    return "__ContentsNomber." + number + "\r\n" + kind + "\r\n" + title + "\r\n" + content +
           "\r\n__ContensEnd\r\n";
}

inline std::string Record(int number, const std::string& kind, const std::string& title,
                          const std::string& content) {
    return Record(std::to_string(number), kind, title, content);
}

// The two-entry example file: a text, then an address.
inline const std::string& WorkedExample() {
    static const std::string text = Record(0, "2", "24 Byte", "memo line 1\r\nmemo line 2") +
                                    Record(1, "1", "Sample Page", "http://sample.jp/");
    return text;
}

// The process's one store and view state, empty at the start of every test and checked for
// leaks at its end: every string either owns must have been released.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReleaseStoreStrings(store);
        ReleaseViewState(view);
        InitEmptyStore(store);
        ASSERT_EQ(InitViewState(view), 1);
    }
    void TearDown() override {
        ReleaseStoreStrings(store);
        ReleaseViewState(view);
        EXPECT_EQ(store.ownedStrings, 0);
        EXPECT_EQ(view.ownedStrings, 0);
    }

    HistoryStore& store = TheHistory();
    ViewState& view = TheView();
};
