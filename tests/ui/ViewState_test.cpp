// The view state a run starts with, its composed-text ownership, and the one rule for rebuilds.
#include <gtest/gtest.h>

#include "base/BaseTestSeams.h"
#include "ui/ViewState.h"

namespace {

TEST(ViewState, StartsAsAnAbsentHistoryFileLeavesIt) {
    ViewState view;
    ASSERT_EQ(InitViewState(view), 1);
    EXPECT_STREQ(view.displayText, "Non");
    EXPECT_EQ(view.displayMode, DisplayMode::UrlOnly);
    EXPECT_EQ(view.listRowCount, 0);
    for (int i = 0; i < HistoryCapacity; ++i) {
        EXPECT_EQ(view.listRowMap[i], -1);
    }
    EXPECT_EQ(view.listWidth, 512);
    EXPECT_EQ(view.refreshPending, 1);
    EXPECT_EQ(view.ownedStrings, 1);
    ReleaseViewState(view);
    EXPECT_EQ(view.displayText, nullptr);
    EXPECT_EQ(view.ownedStrings, 0);
}

TEST(ViewState, AFailedCopyKeepsTheOldText) {
    ViewState view;
    FailTextAllocations(0, 1);
    EXPECT_EQ(InitViewState(view), 0);
    EXPECT_EQ(view.displayText, nullptr);
    ASSERT_EQ(SetDisplayText(view, "abc", 3), 1);
    FailTextAllocations(0, 1);
    EXPECT_EQ(SetDisplayText(view, "xyz", 3), 0);
    FailTextAllocations(0, 0);
    EXPECT_STREQ(view.displayText, "abc");
    EXPECT_EQ(view.ownedStrings, 1);
    ReleaseViewState(view);
    EXPECT_EQ(view.ownedStrings, 0);
}

TEST(ViewState, MarksSetClearOrLeaveThePendingRebuild) {
    struct Case {
        int32_t before;
        RefreshMark mark;
        int32_t after;
    } cases[] = {
        {0, RefreshMark::Set, 1},   {1, RefreshMark::Set, 1},   {0, RefreshMark::Clear, 0},
        {1, RefreshMark::Clear, 0}, {0, RefreshMark::Leave, 0}, {1, RefreshMark::Leave, 1},
    };
    for (const Case& c : cases) {
        ViewState view{};
        view.refreshPending = c.before;
        MarkRefresh(view, c.mark);
        EXPECT_EQ(view.refreshPending, c.after) << "from " << c.before << " mark " << static_cast<int>(c.mark);
    }
}

} // namespace
