// The list actions reached through the real main window: its buttons, the list's notifications
// and the delete-all command.
#include "support/UiWindow_win.h"

#include "support/MessageBoxHook_win.h"
#include "support/ShellSession_win.h"

namespace {

LRESULT Notify(HWND main, UINT code, int row) {
    NMITEMACTIVATE note = RowNote(row);
    note.hdr.code = code;
    return SendMessageA(main, WM_NOTIFY, EntryList, reinterpret_cast<LPARAM>(&note));
}

TEST(MainWindowRoutes, ListActionsThroughTheMainWindow) {
    ShellSession session;
    HWND main = session.main();
    ASSERT_NE(main, nullptr);
    // No capture may change the history under the test.
    KillTimer(main, CaptureTimer);
    HistoryStore& store = TheHistory();
    for (int i = 7; i >= 0; --i) {
        std::string url = "http://e" + std::to_string(i) + ".example/";
        InsertAtTop(store, url.c_str(), EntryKind::Url, ("T" + std::to_string(i)).c_str());
    }
    HWND list = GetDlgItem(main, EntryList);
    SendMessageA(GetDlgItem(main, UrlTitleButton), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(main, ListDisplayCheck), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, TextView)));
    ASSERT_EQ(RowsOf(list), 8);
    EXPECT_EQ(ColumnsOf(list).size(), 2u);
    EXPECT_EQ(CellOf(list, 7, 0), "T7");

    Notify(main, NM_DBLCLK, 7);
    EXPECT_EQ(store.content[0], std::string("http://e7.example/"));
    EXPECT_EQ(CellOf(list, 0, 1), "http://e7.example/");

    {
        MessageBoxAnswerer boxes({IDYES});
        MenuDriver driver(DeleteOneItem);
        Notify(main, NM_RCLICK, 1);
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].text.substr(0, 10), "[Url] - T0");
    }
    EXPECT_EQ(store.count, 7);
    EXPECT_EQ(RowsOf(list), 7);

    MessageBoxAnswerer boxes({IDYES});
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(DeleteAllCommand, 0), 0);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(store.count, 1);
    EXPECT_EQ(RowsOf(list), 1);
    EXPECT_EQ(CellOf(list, 0, 1), "http://e7.example/");
}

} // namespace
