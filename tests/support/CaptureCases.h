// The capture cases, written once: the portable decision tests run them through CaptureText, the
// Windows tests through the real clipboard and the tick.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/DisplayMode.h"
#include "history/HistoryStore.h"
#include "ui/ViewState.h"

struct CaptureCase {
    const char* name;
    int32_t displayMode;
    int entries;             // "http://127.0.0.1:1/<i>x" at slot i, newest first
    int32_t pendingBefore;   // refreshPending before the capture
    const char* clipboard;   // the clipboard's text; null for none
    int countAfter;
    const char* newestAfter; // content of slot 0 afterwards
    EntryKind newestKind;
    int32_t pendingAfter;
};

// The address of the case history's entry i; port 1 is closed, so a title download fails at once.
inline std::string CaseUrl(int i) {
    return "http://127.0.0.1:1/" + std::to_string(i) + "x";
}

inline const std::vector<CaptureCase>& CaptureCases() {
    static const std::vector<CaptureCase> cases = {
        {"no text leaves a pending rebuild", DisplayMode::UrlOnly, 2, 1, nullptr, 2, "http://127.0.0.1:1/0x",
         EntryKind::Url, 1},
        {"no text leaves no rebuild", DisplayMode::UrlOnly, 2, 0, nullptr, 2, "http://127.0.0.1:1/0x",
         EntryKind::Url, 0},
        {"a sentence is not taken in URL modes", DisplayMode::UrlTitle | DisplayMode::ListDisplay, 1, 0,
         "a plain sentence", 1, "http://127.0.0.1:1/0x", EntryKind::Url, 0},
        {"an https address is not taken", DisplayMode::UrlOnly, 0, 0, "https://example.com/", 0, nullptr,
         EntryKind::Url, 0},
        {"a new address is added", DisplayMode::UrlOnly, 1, 0, "http://127.0.0.1:1/new", 2,
         "http://127.0.0.1:1/new", EntryKind::Url, 1},
        {"a sentence is a text in URL+text mode", DisplayMode::UrlText, 1, 0, "a plain sentence", 2,
         "a plain sentence", EntryKind::Text, 1},
        {"an address is a URL in URL+text mode", DisplayMode::UrlText, 0, 0, "http://127.0.0.1:1/u", 1,
         "http://127.0.0.1:1/u", EntryKind::Url, 1},
        {"the newest again drops a pending rebuild", DisplayMode::UrlOnly, 3, 1, "http://127.0.0.1:1/0x", 3,
         "http://127.0.0.1:1/0x", EntryKind::Url, 0},
        {"slot 4 again stays, any case", DisplayMode::UrlOnly, 7, 1, "http://127.0.0.1:1/4X", 7,
         "http://127.0.0.1:1/0x", EntryKind::Url, 0},
        {"slot 5 again is promoted", DisplayMode::UrlOnly, 7, 0, "http://127.0.0.1:1/5x", 7,
         "http://127.0.0.1:1/5x", EntryKind::Url, 1},
        {"a full history pushes the oldest out", DisplayMode::UrlOnly, MaxLiveEntries, 0,
         "http://127.0.0.1:1/new", MaxLiveEntries, "http://127.0.0.1:1/new", EntryKind::Url, 1},
    };
    return cases;
}

// Fills an empty store with the case's entries.
inline void FillCaseHistory(HistoryStore& store, int entries) {
    for (int i = entries - 1; i >= 0; --i) {
        InsertAtTop(store, CaseUrl(i).c_str(), EntryKind::Url, ("t" + std::to_string(i)).c_str());
    }
}

// Runs every case: the history and view as the case starts, capture(clipboard text) to run one
// capture the way the level under test does, then the outcome.
template <typename Capture>
void RunCaptureCases(HistoryStore& store, ViewState& view, Capture capture) {
    for (const CaptureCase& c : CaptureCases()) {
        SCOPED_TRACE(c.name);
        ReleaseStoreStrings(store);
        InitEmptyStore(store);
        FillCaseHistory(store, c.entries);
        view.displayMode = c.displayMode;
        view.refreshPending = c.pendingBefore;
        capture(c.clipboard);
        EXPECT_EQ(store.count, c.countAfter);
        EXPECT_EQ(view.refreshPending, c.pendingAfter);
        if (c.newestAfter) {
            ASSERT_GT(store.count, 0);
            EXPECT_STREQ(store.content[0], c.newestAfter);
            EXPECT_EQ(store.kind[0], c.newestKind);
        }
    }
}
