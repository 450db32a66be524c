// The check-box list on a real list view: columns, cells, row map and check marks.
#include "support/UiWindow_win.h"

namespace {

using EntryListTest = UiWindowTest;

using Columns = std::vector<std::string>;

TEST_F(EntryListTest, ColumnsAndCellsOfEachMode) {
    FillStore(store, {Text("hello world!"), Url("http://one.example/", "一番目"), OtherKind("odd", 5),
                        Url("http://two.example/", "Two")});
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    EXPECT_EQ(ColumnsOf(list()), Columns{"URL:512"});
    ASSERT_EQ(RowsOf(list()), 2);
    EXPECT_EQ(CellOf(list(), 0, 0), "http://one.example/");
    EXPECT_EQ(CellOf(list(), 1, 0), "http://two.example/");
    EXPECT_EQ(view.listRowCount, 2);
    EXPECT_EQ(view.listRowMap[0], 1);
    EXPECT_EQ(view.listRowMap[1], 3);

    Show(DisplayMode::UrlTitle | DisplayMode::ListDisplay);
    EXPECT_EQ(ColumnsOf(list()), (Columns{"title:256", "URL:256"}));
    ASSERT_EQ(RowsOf(list()), 2);
    EXPECT_EQ(CellOf(list(), 0, 0), "一番目");
    EXPECT_EQ(CellOf(list(), 0, 1), "http://one.example/");

    Show(DisplayMode::UrlText | DisplayMode::ListDisplay);
    EXPECT_EQ(ColumnsOf(list()), (Columns{"Format:64", "title:256", "Object:192"}));
    ASSERT_EQ(RowsOf(list()), 3);
    EXPECT_EQ(CellOf(list(), 0, 0), "[Text]");
    EXPECT_EQ(CellOf(list(), 0, 1), "12 Byte");
    EXPECT_EQ(CellOf(list(), 0, 2), "hello world!");
    EXPECT_EQ(CellOf(list(), 1, 0), "[Url]");
    EXPECT_EQ(CellOf(list(), 2, 2), "http://two.example/");
    EXPECT_EQ(view.listRowMap[2], 3);

    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    EXPECT_EQ(ColumnsOf(list()), Columns{"URL:512"});
}

TEST_F(EntryListTest, WidthsFollowListWidthAtTheNextRebuild) {
    FillStore(store, {Url("http://one.example/", "One")});
    view.listWidth = 257;
    Show(DisplayMode::UrlTitle | DisplayMode::ListDisplay);
    EXPECT_EQ(ColumnsOf(list()), (Columns{"title:256", "URL:1"}));
    view.listWidth = 320;
    Show(DisplayMode::UrlText | DisplayMode::ListDisplay);
    EXPECT_EQ(ColumnsOf(list()), (Columns{"Format:107", "title:107", "Object:107"}));
    view.listWidth = -40;
    Show(DisplayMode::UrlText | DisplayMode::ListDisplay);
    EXPECT_EQ(ColumnsOf(list()).size(), 3u);
    EXPECT_EQ(RowsOf(list()), 1);
}

TEST_F(EntryListTest, NoUrlsGiveOneColumnAndNoRows) {
    FillStore(store, {Text("a"), Text("b")});
    Show(DisplayMode::UrlText | DisplayMode::ListDisplay);
    ASSERT_EQ(RowsOf(list()), 2);
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    EXPECT_EQ(ColumnsOf(list()), Columns{"URL:512"});
    EXPECT_EQ(RowsOf(list()), 0);
    EXPECT_EQ(view.listRowCount, 0);
}

TEST_F(EntryListTest, UnknownTextModeLeavesTheListAlone) {
    FillStore(store, {Url("http://one.example/", "One")});
    Show(DisplayMode::UrlTitle | DisplayMode::ListDisplay);
    view.displayMode = 3 | DisplayMode::ListDisplay;
    FillEntryList(list(), store, view);
    EXPECT_EQ(ColumnsOf(list()), (Columns{"title:256", "URL:256"}));
    EXPECT_EQ(RowsOf(list()), 1);
}

TEST_F(EntryListTest, CheckMarksReadBack) {
    FillStore(store,
              {Url("http://0.example/", "0"), Url("http://1.example/", "1"), Url("http://2.example/", "2")});
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    CheckRow(list(), 1);
    EXPECT_EQ(IsRowChecked(list(), 0), 0);
    EXPECT_EQ(IsRowChecked(list(), 1), 1);
    EXPECT_EQ(IsRowChecked(list(), 2), 0);
    // A rebuild drops every check mark.
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    EXPECT_EQ(IsRowChecked(list(), 1), 0);
}

} // namespace
