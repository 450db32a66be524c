// The capture tick's decisions on a real store, with the documented fold standing in for lstrcmpiA.
#include "capture/CaptureDecision.h"
#include "base/ShiftJis.h"
#include "base/UiTexts.h"
#include "history/HistoryTestSeams.h"
#include "support/CaptureCases.h"
#include "support/StoreBuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class CaptureDecisionTest : public StoreTest {
protected:
    // Fills the store so that entry i (0 the newest) holds "http://127.0.0.1:1/<i>x".
    void Fill(int entries) {
        for (int i = entries - 1; i >= 0; --i) {
            ASSERT_EQ(InsertAtTop(store, Url(i).c_str(), EntryKind::Url, "title"), 1);
        }
        ASSERT_EQ(store.count, entries);
    }
    static std::string Url(int i) { return "http://127.0.0.1:1/" + std::to_string(i) + "x"; }

    // One capture, the view told what changed as the tick tells it. 1 when the entries changed.
    int Tick(const char* text) {
        const CaptureResult result = CaptureText(store, view.displayMode, text, CompareFoldCp932);
        MarkRefresh(view, result.mark);
        return result.mark == RefreshMark::Set ? 1 : 0;
    }
};

TEST(IsCapturable, ModesWithoutUrlTextTakeOnlyUrls) {
    for (int32_t mode :
         {DisplayMode::UrlOnly, DisplayMode::UrlTitle, DisplayMode::UrlOnly | DisplayMode::ListDisplay}) {
        EXPECT_EQ(IsCapturable(mode, "a plain sentence."), 0);
        EXPECT_EQ(IsCapturable(mode, ""), 0);
        EXPECT_EQ(IsCapturable(mode, "https://example.com/"), 0);
        EXPECT_EQ(IsCapturable(mode, "http://example.com/"), 1);
    }
}

TEST(IsCapturable, UrlTextTakesAnyTextBelow1024Bytes) {
    const int32_t mode = DisplayMode::UrlText | DisplayMode::ListDisplay;
    EXPECT_EQ(IsCapturable(mode, ""), 1);
    EXPECT_EQ(IsCapturable(mode, "a plain sentence."), 1);
    EXPECT_EQ(IsCapturable(mode, std::string(1023, 'x').c_str()), 1);
    EXPECT_EQ(IsCapturable(mode, std::string(1024, 'x').c_str()), 0);
}

TEST(NewEntryKind, UrlUnlessUrlTextModeAndNotUrl) {
    EXPECT_EQ(NewEntryKind(DisplayMode::UrlText, "http://example.com/"), EntryKind::Url);
    EXPECT_EQ(NewEntryKind(DisplayMode::UrlText, "HTTP://example.com/"), EntryKind::Text);
    EXPECT_EQ(NewEntryKind(DisplayMode::UrlText, ""), EntryKind::Text);
    EXPECT_EQ(NewEntryKind(DisplayMode::UrlOnly, "http://example.com/"), EntryKind::Url);
}

TEST(FormatByteTitle, PlainDecimal) {
    char title[1024];
    EXPECT_EQ(FormatByteTitle(title, sizeof title, 0), 6);
    EXPECT_STREQ(title, "0 Byte");
    FormatByteTitle(title, sizeof title, 1021);
    EXPECT_STREQ(title, "1021 Byte");
    EXPECT_EQ(FormatByteTitle(title, 6, 0), 0);
    EXPECT_STREQ(title, "");
}

TEST_F(CaptureDecisionTest, DuplicateIndexOnlyPastTheFiveNewest) {
    Fill(8);
    int index = 2;
    EXPECT_EQ(FindDuplicate(store, "http://127.0.0.1:1/none", CompareFoldCp932, index), 0);
    EXPECT_EQ(index, -1);
    index = 7;
    EXPECT_EQ(FindDuplicate(store, Url(4).c_str(), CompareFoldCp932, index), 1);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(FindDuplicate(store, Url(5).c_str(), CompareFoldCp932, index), 1);
    EXPECT_EQ(index, 5);
}

TEST_F(CaptureDecisionTest, LetterCaseDuplicatesAcrossKinds) {
    view.displayMode = DisplayMode::UrlText;
    ASSERT_EQ(InsertAtTop(store, "HTTP://127.0.0.1:1/ABC", EntryKind::Text, "22 Byte"), 1);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(InsertAtTop(store, ("filler " + std::to_string(i)).c_str(), EntryKind::Text, "8 Byte"), 1);
    }
    // The URL equals the older text entry but for case: promoted, still a text entry.
    EXPECT_EQ(Tick("http://127.0.0.1:1/abc"), 1);
    EXPECT_EQ(store.count, 6);
    EXPECT_STREQ(store.content[0], "HTTP://127.0.0.1:1/ABC");
    EXPECT_EQ(store.kind[0], EntryKind::Text);
    // And a text equal to the URL entry but for case is a duplicate of it.
    ASSERT_EQ(InsertAtTop(store, "http://127.0.0.1:1/def", EntryKind::Url, "t"), 1);
    EXPECT_EQ(Tick("HTTP://127.0.0.1:1/DEF"), 0);
    EXPECT_EQ(store.count, 7);
    EXPECT_EQ(view.refreshPending, 0);
}

// The first capture is a row of the shared cases; what follows it is not.
TEST_F(CaptureDecisionTest, ThePushedOutAddressIsNewAgain) {
    Fill(MaxLiveEntries);
    const std::string oldest = store.content[126];
    const std::string secondOldest = store.content[125];
    EXPECT_EQ(Tick("http://127.0.0.1:1/new"), 1);
    EXPECT_EQ(store.content[126], secondOldest);
    int index = 0;
    EXPECT_EQ(FindDuplicate(store, oldest.c_str(), CompareFoldCp932, index), 0);
    EXPECT_EQ(Tick(oldest.c_str()), 1);
    EXPECT_EQ(store.count, MaxLiveEntries);
    EXPECT_EQ(store.content[0], oldest);
    EXPECT_STREQ(store.title[0], PageTitleFallback);
}

TEST_F(CaptureDecisionTest, FailedAllocationAddsNothing) {
    view.refreshPending = 0;
    // The content is copied, the title refused.
    FailStoreAllocations(1, 1);
    const CaptureResult result = CaptureText(store, view.displayMode, "http://127.0.0.1:1/x", CompareFoldCp932);
    FailStoreAllocations(0, 0);
    EXPECT_EQ(result.mark, RefreshMark::Leave);
    EXPECT_EQ(result.titleSerial, 0u);
    MarkRefresh(view, result.mark);
    EXPECT_EQ(store.count, 0);
    EXPECT_EQ(view.refreshPending, 0);
}

} // namespace

namespace {

// The shared capture cases, cut and captured as the tick does, lstrcmpiA's fold standing in. Only
// a new address asks for its page title.
TEST_F(CaptureDecisionTest, SharedCaptureCases) {
    RunCaptureCases(store, view, [this](const CaptureCase& c) {
        char buffer[CaptureBufferSize];
        const char* text = nullptr;
        if (c.clipboard) {
            CopyCutText(buffer, CaptureCapacity, c.clipboard, std::strlen(c.clipboard) + 1);
            text = buffer;
        }
        EXPECT_EQ(DecideCapture(store, view.displayMode, text, CompareFoldCp932).action, c.action);
        const CaptureResult result = CaptureText(store, view.displayMode, text, CompareFoldCp932);
        MarkRefresh(view, result.mark);
        const bool asksTitle = c.action == CaptureAction::Add && c.newestKind == EntryKind::Url;
        EXPECT_EQ(result.titleSerial, asksTitle ? store.serial[0] : 0u);
    });
}

} // namespace
