// The display refresh on real controls: the text view per mode, the list branch, and repaints.
#include "support/UiWindow_win.h"

namespace {

using DisplayTest = UiWindowTest;

const std::string Hyphens30(30, '-');

bool RepaintPending() {
    RECT update = {};
    return GetUpdateRect(MainWindow(), &update, FALSE) != 0;
}

TEST_F(DisplayTest, TextViewShowsTheComposedTextOfEachMode) {
    FillStore(store, {Text("abc"), Url("http://example.com/", "例のページ")});
    Show(DisplayMode::UrlOnly);
    EXPECT_EQ(WindowTextOf(textView()), "http://example.com/\r\n");
    EXPECT_TRUE(HasVisibleStyle(textView()));
    EXPECT_FALSE(HasVisibleStyle(list()));
    EXPECT_EQ(view.refreshPending, 0);
    Show(DisplayMode::UrlTitle);
    EXPECT_EQ(WindowTextOf(textView()), "[Web Page] - 例のページ\r\nhttp://example.com/\r\n\r\n");
    Show(DisplayMode::UrlText);
    EXPECT_EQ(WindowTextOf(textView()), "[Text] - 3 Byte\r\nabc\r\n" + Hyphens30 +
                                            "\r\n\r\n[Web Page] - 例のページ\r\nhttp://example.com/\r\n" +
                                            Hyphens30 + "\r\n\r\n");
}

TEST_F(DisplayTest, EmptyOrUnadmittedHistoryShowsNon) {
    Show(DisplayMode::UrlOnly);
    EXPECT_EQ(WindowTextOf(textView()), "Non");
    FillStore(store, {Text("abc")});
    Show(DisplayMode::UrlTitle);
    EXPECT_EQ(WindowTextOf(textView()), "Non");
}

TEST_F(DisplayTest, TypedTextLastsUntilTheNextRebuild) {
    ShowWindow(MainWindow(), SW_SHOWNA); // a hidden window collects no update region
    FillStore(store, {Url("http://a.example/", "A")});
    Show(DisplayMode::UrlOnly);
    SetWindowTextA(textView(), "typed by the user");
    ValidateRect(MainWindow(), nullptr);
    ASSERT_FALSE(RepaintPending());
    RefreshDisplay();
    EXPECT_EQ(WindowTextOf(textView()), "typed by the user");
    EXPECT_TRUE(RepaintPending());
    view.refreshPending = 1;
    RefreshDisplay();
    EXPECT_EQ(WindowTextOf(textView()), "http://a.example/\r\n");
}

TEST_F(DisplayTest, ListBitSwitchesBetweenTheViews) {
    FillStore(store, {Text("abc"), Url("http://example.com/", "P")});
    Show(DisplayMode::UrlTitle | DisplayMode::ListDisplay);
    EXPECT_TRUE(HasVisibleStyle(list()));
    EXPECT_FALSE(HasVisibleStyle(textView()));
    EXPECT_EQ(ColumnsOf(list()), (std::vector<std::string>{"title:256", "URL:256"}));
    ASSERT_EQ(RowsOf(list()), 1);
    // A capture while the list is shown, then the list bit cleared: the text is composed afresh.
    InsertAtTop(store, "http://new.example/", EntryKind::Url, "N");
    Show(DisplayMode::UrlTitle);
    EXPECT_TRUE(HasVisibleStyle(textView()));
    EXPECT_FALSE(HasVisibleStyle(list()));
    EXPECT_EQ(WindowTextOf(textView()),
              "[Web Page] - N\r\nhttp://new.example/\r\n\r\n[Web Page] - P\r\nhttp://example.com/\r\n\r\n");
    // The hidden list keeps its last rows.
    EXPECT_EQ(RowsOf(list()), 1);
}

TEST_F(DisplayTest, PlainRefreshChangesNeitherViewNorVisibility) {
    FillStore(store, {Url("http://a.example/", "A")});
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    InsertAtTop(store, "http://b.example/", EntryKind::Url, "B");
    view.displayMode = DisplayMode::UrlOnly;
    RefreshDisplay();
    EXPECT_TRUE(HasVisibleStyle(list()));
    EXPECT_EQ(RowsOf(list()), 1);
}

} // namespace
