// The capture cases, written once: the portable decision tests run them through CaptureText, the
// Windows tests through the real clipboard and the tick.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/DisplayMode.h"
#include "base/UiTexts.h"
#include "capture/CaptureDecision.h"
#include "history/HistoryStore.h"
#include "ui/ViewState.h"

struct CaptureCase {
    const char* name;
    int32_t displayMode;
    int entries;             // "http://127.0.0.1:1/<i>x" titled "t<i>" at slot i, newest first
    int32_t pendingBefore;   // refreshPending before the capture
    const char* clipboard;   // the clipboard's text, before the read's cut; null for none
    CaptureAction action;    // what the decision is
    int countAfter;
    const char* newestAfter; // content of slot 0 afterwards
    EntryKind newestKind;
    const char* newestTitle;
    int32_t pendingAfter;
    const char* order;       // null, or the entries i that slots 0, 1, ... hold afterwards
};

// The address of the case history's entry i; port 1 is closed, so a title download fails at once.
inline std::string CaseUrl(int i) {
    return "http://127.0.0.1:1/" + std::to_string(i) + "x";
}

inline const std::vector<CaptureCase>& CaptureCases() {
    constexpr int32_t UrlOnly = DisplayMode::UrlOnly;
    constexpr int32_t UrlTitleList = DisplayMode::UrlTitle | DisplayMode::ListDisplay;
    constexpr int32_t UrlText = DisplayMode::UrlText;
    constexpr CaptureAction Nothing = CaptureAction::Nothing;
    constexpr CaptureAction Add = CaptureAction::Add;
    constexpr EntryKind Url = EntryKind::Url;
    constexpr EntryKind Text = EntryKind::Text;
    const char* const fallback = PageTitleFallback;
    static const std::string longText = std::string(1000, 'a') + std::string(600, 'b');
    static const std::string longCut = longText.substr(0, 1021);
    // The 1021st byte opens a character: it is left out with its trail byte.
    static const std::string splitKept(1020, 'a');
    static const std::string splitAtCut = [] {
        std::string text = splitKept;
        for (int i = 0; i < 20; ++i) {
            text += "漢字";
        }
        return text;
    }();
    static const std::vector<CaptureCase> cases = {
        {"no text leaves a pending rebuild", UrlOnly, 2, 1, nullptr, Nothing, 2, "http://127.0.0.1:1/0x", Url,
         "t0", 1, nullptr},
        {"no text leaves no rebuild", UrlOnly, 2, 0, nullptr, Nothing, 2, "http://127.0.0.1:1/0x", Url, "t0", 0,
         nullptr},
        {"a sentence is not taken in URL-only mode", UrlOnly, 0, 0, "a plain sentence", Nothing, 0, nullptr, Url,
         nullptr, 0, nullptr},
        {"a sentence is not taken in URL+title mode", UrlTitleList, 1, 0, "a plain sentence", Nothing, 1,
         "http://127.0.0.1:1/0x", Url, "t0", 0, nullptr},
        {"an https address is not taken", UrlOnly, 0, 0, "https://example.com/", Nothing, 0, nullptr, Url, nullptr,
         0, nullptr},
        {"a new address is added", UrlOnly, 1, 0, "http://127.0.0.1:1/new", Add, 2, "http://127.0.0.1:1/new", Url,
         fallback, 1, nullptr},
        {"a new address is added in URL+title mode", UrlTitleList, 0, 0, "http://127.0.0.1:1/new", Add, 1,
         "http://127.0.0.1:1/new", Url, fallback, 1, nullptr},
        {"a sentence is a text in URL+text mode", UrlText, 1, 0, "a plain sentence", Add, 2, "a plain sentence",
         Text, "16 Byte", 1, nullptr},
        {"an empty text is a text in URL+text mode", UrlText, 0, 0, "", Add, 1, "", Text, "0 Byte", 1, nullptr},
        {"a long text is cut at 1021 bytes", UrlText, 0, 0, longText.c_str(), Add, 1, longCut.c_str(), Text,
         "1021 Byte", 1, nullptr},
        {"a double-byte character at the cut is left out whole", UrlText, 0, 0, splitAtCut.c_str(), Add, 1,
         splitKept.c_str(), Text, "1020 Byte", 1, nullptr},
        {"an address is a URL in URL+text mode", UrlText, 0, 0, "http://127.0.0.1:1/u", Add, 1,
         "http://127.0.0.1:1/u", Url, fallback, 1, nullptr},
        {"the newest again drops a pending rebuild", UrlOnly, 3, 1, "http://127.0.0.1:1/0x",
         CaptureAction::KeepNewest, 3, "http://127.0.0.1:1/0x", Url, "t0", 0, "012"},
        {"slot 4 again stays, any case", UrlOnly, 7, 1, "http://127.0.0.1:1/4X", CaptureAction::KeepNewest, 7,
         "http://127.0.0.1:1/0x", Url, "t0", 0, "0123456"},
        {"slot 5 again is promoted with its title", UrlOnly, 7, 0, "http://127.0.0.1:1/5x", CaptureAction::Promote,
         7, "http://127.0.0.1:1/5x", Url, "t5", 1, "5012346"},
        {"the oldest of a loaded history again is promoted", UrlOnly, 7, 0, "http://127.0.0.1:1/6x",
         CaptureAction::Promote, 7, "http://127.0.0.1:1/6x", Url, "t6", 1, "6012345"},
        {"a full history pushes the oldest out", UrlOnly, MaxLiveEntries, 0, "http://127.0.0.1:1/new", Add,
         MaxLiveEntries, "http://127.0.0.1:1/new", Url, fallback, 1, nullptr},
    };
    return cases;
}

// Fills an empty store with the case's entries.
inline void FillCaseHistory(HistoryStore& store, int entries) {
    for (int i = entries - 1; i >= 0; --i) {
        InsertAtTop(store, CaseUrl(i).c_str(), EntryKind::Url, ("t" + std::to_string(i)).c_str());
    }
}

// Runs every case: the history and view as the case starts, capture(the case) to run one capture
// the way the level under test does, then the outcome.
template <typename Capture>
void RunCaptureCases(HistoryStore& store, ViewState& view, Capture capture) {
    for (const CaptureCase& c : CaptureCases()) {
        SCOPED_TRACE(c.name);
        ReleaseStoreStrings(store);
        InitEmptyStore(store);
        FillCaseHistory(store, c.entries);
        view.displayMode = c.displayMode;
        view.refreshPending = c.pendingBefore;
        capture(c);
        EXPECT_EQ(store.count, c.countAfter);
        EXPECT_EQ(view.refreshPending, c.pendingAfter);
        if (c.newestAfter) {
            ASSERT_GT(store.count, 0);
            EXPECT_STREQ(store.content[0], c.newestAfter);
            EXPECT_EQ(store.kind[0], c.newestKind);
            EXPECT_STREQ(store.title[0], c.newestTitle);
        }
        for (int slot = 0; c.order && c.order[slot]; ++slot) {
            EXPECT_EQ(store.content[slot], CaseUrl(c.order[slot] - '0')) << "slot " << slot;
        }
    }
}
