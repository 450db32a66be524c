// The list actions on a real list: copy back, the context menu and its commands, delete-all,
// and rows that stay with their entries while captures move them.
#include "support/UiWindow_win.h"

#include <cstdio>

#include "support/ClipboardAccess_win.h"
#include "support/MessageBoxHook_win.h"

namespace {

using ListActionsTest = UiWindowTest;

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboardAsAnotherProgram()) {
        return text;
    }
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* locked = static_cast<const char*>(GlobalLock(data))) {
            text = locked;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::vector<TestEntry> Urls(int n) {
    std::vector<TestEntry> entries;
    for (int i = 0; i < n; ++i) {
        entries.push_back(Url("http://e" + std::to_string(i) + ".example/", "T" + std::to_string(i)));
    }
    return entries;
}

std::string ContentAt(int slot) {
    return TheHistory().content[slot];
}

// Runs the context menu of a row and chooses `choose` (0 closes it without a choice).
std::vector<SeenMenuItem> RunMenu(int row, UINT choose) {
    MenuDriver driver(choose);
    NMITEMACTIVATE note = RowNote(row);
    ShowEntryMenu(&note);
    EXPECT_TRUE(driver.shown());
    return driver.items();
}

// Answers the next message box with IDYES only after a timer inside its modal loop has put a
// new entry at the top of the history, as a clipboard capture would.
class CaptureWhileAsking {
public:
    CaptureWhileAsking() : hook_(SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId())) {
        active_ = this;
    }
    ~CaptureWhileAsking() {
        UnhookWindowsHookEx(hook_);
        active_ = nullptr;
    }
    CaptureWhileAsking(const CaptureWhileAsking&) = delete;
    CaptureWhileAsking& operator=(const CaptureWhileAsking&) = delete;

    std::vector<std::string> texts;

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
        char className[32] = {};
        if (code == HCBT_ACTIVATE && active_ && !active_->box_ &&
            GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className) &&
            lstrcmpA(className, "#32770") == 0) {
            active_->box_ = reinterpret_cast<HWND>(wParam);
            SetTimer(nullptr, 0, 30, Capture);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static void CALLBACK Capture(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        HWND box = active_->box_;
        active_->texts.push_back(WindowTextOf(GetDlgItem(box, 0xFFFF)));
        InsertAtTop(TheHistory(), "http://captured.example/", EntryKind::Url, "captured");
        TheView().refreshPending = 1;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDYES)));
    }

    static inline CaptureWhileAsking* active_ = nullptr;
    HHOOK hook_;
    HWND box_ = nullptr;
};

TEST_F(ListActionsTest, DoubleClickCopiesBackAndPromotesBeyondTheFiveNewest) {
    FillStore(store, Urls(10));
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    NMITEMACTIVATE note = RowNote(7);
    OnListDoubleClick(&note);
    EXPECT_EQ(ClipboardText(), "http://e7.example/");
    EXPECT_EQ(ContentAt(0), "http://e7.example/");
    EXPECT_EQ(CellOf(list(), 0, 0), "http://e7.example/"); // rebuilt
    EXPECT_EQ(view.refreshPending, 0);

    // Among the five newest nothing moves, and a rebuild asked for earlier is dropped.
    PendRebuildAndTick(5);
    note = RowNote(3);
    OnListDoubleClick(&note);
    EXPECT_EQ(ClipboardText(), "http://e2.example/");
    EXPECT_EQ(ContentAt(3), "http://e2.example/");
    EXPECT_EQ(view.refreshPending, 0);
    EXPECT_FALSE(ListRebuilt(5));
}

TEST_F(ListActionsTest, DoubleClickOnNoRowDoesNothing) {
    FillStore(store, Urls(3));
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    view.refreshPending = 1;
    NMITEMACTIVATE note = RowNote(-1);
    OnListDoubleClick(&note);
    note = RowNote(3);
    OnListDoubleClick(&note);
    EXPECT_EQ(view.refreshPending, 1);
}

TEST_F(ListActionsTest, StaleRowCopiesTheEntryItShowed) {
    FillStore(store, Urls(10));
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    InsertAtTop(store, "http://captured.example/", EntryKind::Url, "captured");
    NMITEMACTIVATE note = RowNote(4);
    OnListDoubleClick(&note);
    EXPECT_EQ(ClipboardText(), "http://e4.example/");
    // Now at index 5, beyond the five newest: promoted.
    EXPECT_EQ(ContentAt(0), "http://e4.example/");
    EXPECT_EQ(ContentAt(1), "http://captured.example/");
}

TEST_F(ListActionsTest, MenuItemsForTheNewestAndForOthers) {
    FillStore(store,
              {Url("http://e0.example/", "ページ"), Text("12345"), Url("http://e2.example/", "Two")});
    Show(DisplayMode::UrlText | DisplayMode::ListDisplay);
    std::vector<SeenMenuItem> items = RunMenu(0, 0);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].id, UINT(OpenItem));
    EXPECT_EQ(items[0].text, "[ページ]を開く");

    items = RunMenu(1, 0);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].id, UINT(OpenItem));
    EXPECT_EQ(items[0].text, "[TEXT] - 5 Byte");
    EXPECT_EQ(items[1].id, UINT(DeleteOneItem));
    EXPECT_EQ(items[1].text, "一件を削除");
    EXPECT_EQ(items[2].id, UINT(DeleteCheckedItem));
    EXPECT_EQ(items[2].text, "複数項目（チェック選択）を削除");
}

TEST_F(ListActionsTest, NoMenuForNoRow) {
    FillStore(store, Urls(2));
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    MenuDriver driver(0);
    NMITEMACTIVATE note = RowNote(-1);
    ShowEntryMenu(&note);
    EXPECT_FALSE(driver.shown());
}

TEST_F(ListActionsTest, ViewingATextEntry) {
    FillStore(store, {Url("http://e0.example/", "0"), Text("hello"), Url("http://e2.example/", "2")});
    Show(DisplayMode::UrlText | DisplayMode::ListDisplay);
    PendRebuildAndTick(0);
    MessageBoxAnswerer boxes({IDOK});
    RunMenu(1, OpenItem);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, "TEXT内容の確認");
    EXPECT_EQ(boxes.seen()[0].text, "[Text] - 5 Byte\r\n---------------------------------------\r\nhello");
    EXPECT_EQ(store.count, 3);
    EXPECT_EQ(view.refreshPending, 0);
    EXPECT_FALSE(ListRebuilt(0));
}

TEST_F(ListActionsTest, DismissedMenuLeavesTheRefreshFlag) {
    FillStore(store, Urls(3));
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    InsertAtTop(store, "http://captured.example/", EntryKind::Url, "captured");
    // Nothing asked for a rebuild: the list keeps its rows.
    view.refreshPending = 0;
    RunMenu(1, 0);
    EXPECT_EQ(RowsOf(list()), 3);
    // A capture had asked for one: the refresh after the menu makes it.
    view.refreshPending = 1;
    RunMenu(1, 0);
    EXPECT_EQ(RowsOf(list()), 4);
    EXPECT_EQ(CellOf(list(), 0, 0), "http://captured.example/");
}

TEST_F(ListActionsTest, DeleteOneAsksAndRemovesOnYes) {
    FillStore(store, {Url("http://e0.example/", "0"), Text("abc"), Url("http://e2.example/", "T2")});
    Show(DisplayMode::UrlText | DisplayMode::ListDisplay);
    {
        PendRebuildAndTick(0);
        MessageBoxAnswerer boxes({IDNO});
        RunMenu(2, DeleteOneItem);
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].caption, "削除の確認");
        EXPECT_EQ(boxes.seen()[0].text,
                  "[Url] - T2\r\nhttp://e2.example/\r\n--------------------------\r\nを削除して良いですか？");
        EXPECT_EQ(store.count, 3);
        EXPECT_EQ(view.refreshPending, 0);
        EXPECT_FALSE(ListRebuilt(0));
    }
    MessageBoxAnswerer boxes({IDYES});
    RunMenu(1, DeleteOneItem);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text,
              "[Text] - 3 Byte\r\nabc\r\n--------------------------\r\nを削除して良いですか？");
    ASSERT_EQ(store.count, 2);
    EXPECT_EQ(ContentAt(1), "http://e2.example/");
    EXPECT_EQ(RowsOf(list()), 2);
}

TEST_F(ListActionsTest, CaptureDuringDeleteOneConfirmation) {
    FillStore(store, Urls(4));
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    CaptureWhileAsking capture;
    RunMenu(2, DeleteOneItem);
    ASSERT_EQ(capture.texts.size(), 1u);
    EXPECT_EQ(capture.texts[0].substr(0, 10), "[Url] - T2");
    ASSERT_EQ(store.count, 4);
    EXPECT_EQ(ContentAt(0), "http://captured.example/");
    EXPECT_EQ(ContentAt(1), "http://e0.example/");
    EXPECT_EQ(ContentAt(2), "http://e1.example/");
    EXPECT_EQ(ContentAt(3), "http://e3.example/");
}

TEST_F(ListActionsTest, StaleRowDeletesTheEntryItShowed) {
    FillStore(store, Urls(3));
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    InsertAtTop(store, "http://captured.example/", EntryKind::Url, "captured");
    // Row 0 showed the newest entry; it no longer is, so it may now be deleted.
    MessageBoxAnswerer boxes({IDYES});
    std::vector<SeenMenuItem> items = RunMenu(0, DeleteOneItem);
    EXPECT_EQ(items.size(), 3u);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text.substr(0, 10), "[Url] - T0");
    ASSERT_EQ(store.count, 3);
    EXPECT_EQ(ContentAt(0), "http://captured.example/");
    EXPECT_EQ(ContentAt(1), "http://e1.example/");
}

TEST_F(ListActionsTest, DeleteCheckedRowsOneAndThree) {
    FillStore(store, Urls(5));
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    CheckRow(list(), 1);
    CheckRow(list(), 3);
    MessageBoxAnswerer boxes({IDYES});
    RunMenu(2, DeleteCheckedItem);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, "削除の確認");
    EXPECT_EQ(boxes.seen()[0].text, "選択された2個の項目を削除しても良いですか？");
    ASSERT_EQ(store.count, 3);
    EXPECT_EQ(ContentAt(0), "http://e0.example/");
    EXPECT_EQ(ContentAt(1), "http://e2.example/");
    EXPECT_EQ(ContentAt(2), "http://e4.example/");
    EXPECT_EQ(RowsOf(list()), 3);
    EXPECT_EQ(IsRowChecked(list(), 1), 0);
}

TEST_F(ListActionsTest, DeleteCheckedNeverRemovesRowZero) {
    FillStore(store, Urls(3));
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    CheckRow(list(), 0);
    MessageBoxAnswerer boxes({IDYES});
    RunMenu(1, DeleteCheckedItem);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text, "選択された1個の項目を削除しても良いですか？");
    EXPECT_EQ(store.count, 3);
    EXPECT_EQ(IsRowChecked(list(), 0), 0); // rebuilt
}

TEST_F(ListActionsTest, DeleteCheckedWithNothingChecked) {
    FillStore(store, Urls(3));
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    MessageBoxAnswerer boxes({IDOK, IDOK});
    view.refreshPending = 0;
    RunMenu(1, DeleteCheckedItem);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text, "項目が選択されていません。");
    EXPECT_EQ(store.count, 3);
    EXPECT_EQ(view.refreshPending, 0);
    // Nothing deleted, so a rebuild a capture asked for meanwhile still happens.
    InsertAtTop(store, "http://captured.example/", EntryKind::Url, "captured");
    view.refreshPending = 1;
    RunMenu(1, DeleteCheckedItem);
    EXPECT_EQ(boxes.seen().size(), 2u);
    EXPECT_EQ(RowsOf(list()), 4);
}

TEST_F(ListActionsTest, CaptureDuringDeleteCheckedConfirmation) {
    FillStore(store, Urls(5));
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    CheckRow(list(), 1);
    CheckRow(list(), 3);
    CaptureWhileAsking capture;
    RunMenu(2, DeleteCheckedItem);
    ASSERT_EQ(capture.texts.size(), 1u);
    EXPECT_EQ(capture.texts[0], "選択された2個の項目を削除しても良いですか？");
    ASSERT_EQ(store.count, 4);
    EXPECT_EQ(ContentAt(0), "http://captured.example/");
    EXPECT_EQ(ContentAt(1), "http://e0.example/");
    EXPECT_EQ(ContentAt(2), "http://e2.example/");
    EXPECT_EQ(ContentAt(3), "http://e4.example/");
}

TEST_F(ListActionsTest, DeleteAllKeepsTheNewest) {
    for (int n : {5, 1, 0}) {
        FillStore(store, Urls(n));
        Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
        MessageBoxAnswerer boxes({IDYES});
        DeleteAllEntries();
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].caption, "削除の確認");
        EXPECT_EQ(boxes.seen()[0].text, "全ての項目を削除しても良いですか？");
        EXPECT_EQ(store.count, n ? 1 : 0);
        if (n) {
            EXPECT_EQ(ContentAt(0), "http://e0.example/");
        }
    }
    // The list still shows the empty history; a "no" drops the rebuild the new entries asked for.
    FillStore(store, Urls(5));
    MessageBoxAnswerer boxes({IDNO});
    view.refreshPending = 1;
    DeleteAllEntries();
    EXPECT_EQ(store.count, 5);
    EXPECT_EQ(view.refreshPending, 0);
    EXPECT_EQ(RowsOf(list()), 0);
}

// A "URL" entry from an edited history file that names a batch file: the menu's open item must not
// start it. The same file handed to OpenDocument directly does run, which shows the check can see it.
TEST_F(ListActionsTest, OpenStartsNothingButWebAddresses) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "clipwren-ui-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    auto writeBatch = [&](const std::string& name, const std::string& marker) {
        std::string path = dir + name;
        FILE* file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        if (file) {
            std::fprintf(file, "@echo started> \"%s\"\r\n", (dir + marker).c_str());
            std::fclose(file);
        }
        return path;
    };
    std::string planted = writeBatch("planted.bat", "planted.txt");
    std::string control = writeBatch("control.bat", "control.txt");

    FillStore(store, {Url("http://e0.example/", "0"), Url(planted, "planted")});
    Show(DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    PendRebuildAndTick(0);
    RunMenu(1, OpenItem);
    EXPECT_EQ(view.refreshPending, 0);
    EXPECT_FALSE(ListRebuilt(0));
    EXPECT_EQ(store.count, 2);

    OpenDocument(control.c_str(), nullptr);
    bool controlRan = false;
    for (int i = 0; i < 300 && !controlRan; ++i) {
        controlRan = GetFileAttributesA((dir + "control.txt").c_str()) != INVALID_FILE_ATTRIBUTES;
        Sleep(50);
    }
    EXPECT_TRUE(controlRan);
    EXPECT_EQ(GetFileAttributesA((dir + "planted.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    for (const char* name : {"planted.bat", "control.bat", "planted.txt", "control.txt"}) {
        DeleteFileA((dir + name).c_str());
    }
    RemoveDirectoryA(dir.c_str());
}

} // namespace
