// Which of the main window's messages rebuild the display, seen from outside: text typed into
// the text view survives only when nothing marked the display for a rebuild.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "base/AppResources_win.h"
#include "base/ids.h"
#include "capture/Clipboard_win.h"
#include "history/HistoryStore.h"
#include "ui/ViewState.h"
#include "support/MessageBoxHook_win.h"
#include "support/ShellSession_win.h"

namespace {

const char Typed[] = "typed by the user";

std::string ViewText(HWND main) {
    char text[1024] = {};
    GetDlgItemTextA(main, TextView, text, sizeof text);
    return text;
}

// Puts typed text into the view with nothing pending, runs the action, and tells whether the
// view was rebuilt; nothing may be left pending either way.
bool Rebuilds(HWND main, void (*action)(HWND main)) {
    SetDlgItemTextA(main, TextView, Typed);
    TheView().refreshPending = 0;
    action(main);
    EXPECT_EQ(TheView().refreshPending, 0);
    return ViewText(main) != Typed;
}

void Command(HWND main, int id, int code) {
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(main, id)));
}

} // namespace

TEST(MainRefresh, ButtonsAndActivationRebuildTheView) {
    ShellSession session;
    HWND main = session.main();
    ASSERT_EQ(InsertAtTop(TheHistory(), "http://example.com/shown", EntryKind::Url, "Shown"), 1);

    EXPECT_TRUE(Rebuilds(main, [](HWND w) { Command(w, RefreshButton, BN_CLICKED); }));
    // The mode already chosen rebuilds all the same.
    EXPECT_TRUE(Rebuilds(main, [](HWND w) { Command(w, UrlOnlyButton, BN_CLICKED); }));
    EXPECT_NE(ViewText(main).find("http://example.com/shown"), std::string::npos);
    EXPECT_TRUE(Rebuilds(main, [](HWND w) { Command(w, UrlTitleButton, BN_CLICKED); }));
    EXPECT_TRUE(Rebuilds(main, [](HWND w) { SendMessageA(w, WM_ACTIVATE, WA_ACTIVE, 0); }));
    EXPECT_TRUE(Rebuilds(main, [](HWND w) { SendMessageA(w, WM_ACTIVATE, WA_CLICKACTIVE, 0); }));
    EXPECT_TRUE(Rebuilds(main, [](HWND w) { SendMessageA(w, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0); }));
}

TEST(MainRefresh, NothingPendingMeansNoRebuild) {
    ShellSession session;
    HWND main = session.main();
    EXPECT_FALSE(Rebuilds(main, [](HWND w) { SendMessageA(w, WM_ACTIVATE, WA_INACTIVE, 0); }));
    EXPECT_FALSE(
        Rebuilds(main, [](HWND w) { SetWindowPos(w, nullptr, 0, 0, 700, 300, SWP_NOMOVE | SWP_NOZORDER); }));
    EXPECT_FALSE(Rebuilds(main, [](HWND w) { Command(w, RefreshButton, BN_SETFOCUS); }));
    EXPECT_FALSE(Rebuilds(main, [](HWND w) { Command(w, UrlTitleButton, BN_KILLFOCUS); }));

    // A capture made in the background shows at the next refresh of any kind.
    SetDlgItemTextA(main, TextView, Typed);
    TheView().refreshPending = 1;
    SendMessageA(main, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_NE(ViewText(main), Typed);
}

TEST(MainRefresh, ListBoxSwitchesBetweenTextAndList) {
    ShellSession session;
    HWND main = session.main();
    HWND list = GetDlgItem(main, EntryList);
    HWND view = GetDlgItem(main, TextView);
    ASSERT_EQ(InsertAtTop(TheHistory(), "http://example.com/listed", EntryKind::Url, "Listed"), 1);

    SendDlgItemMessageA(main, ListDisplayCheck, BM_SETCHECK, BST_CHECKED, 0);
    Command(main, ListDisplayCheck, BN_CLICKED);
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_FALSE(IsWindowVisible(view));
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 1);

    SendDlgItemMessageA(main, ListDisplayCheck, BM_SETCHECK, BST_UNCHECKED, 0);
    Command(main, ListDisplayCheck, BN_CLICKED);
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_TRUE(IsWindowVisible(view));
}

TEST(MainRefresh, ListNotificationsComeOnlyFromTheList) {
    ShellSession session;
    HWND main = session.main();
    ASSERT_EQ(InsertAtTop(TheHistory(), "http://example.com/copied", EntryKind::Url, "Copied"), 1);
    SendDlgItemMessageA(main, ListDisplayCheck, BM_SETCHECK, BST_CHECKED, 0);
    Command(main, ListDisplayCheck, BN_CLICKED);
    ASSERT_EQ(WriteClipboardText("before"), 1);

    NMITEMACTIVATE note = {};
    note.hdr.hwndFrom = GetDlgItem(main, ListDisplayCheck);
    note.hdr.idFrom = ListDisplayCheck;
    note.hdr.code = static_cast<UINT>(NM_DBLCLK);
    note.iItem = 0;
    SendMessageA(main, WM_NOTIFY, ListDisplayCheck, reinterpret_cast<LPARAM>(&note));
    char text[256] = {};
    ASSERT_EQ(ReadClipboardText(text, sizeof text), 1);
    EXPECT_STREQ(text, "before");

    // From the list, a double-click copies the row's entry back.
    note.hdr.hwndFrom = GetDlgItem(main, EntryList);
    note.hdr.idFrom = EntryList;
    SendMessageA(main, WM_NOTIFY, EntryList, reinterpret_cast<LPARAM>(&note));
    ASSERT_EQ(ReadClipboardText(text, sizeof text), 1);
    EXPECT_STREQ(text, "http://example.com/copied");
}

TEST(MainRefresh, DeleteAllAsksWhateverTheCommandCode) {
    ShellSession session;
    HWND main = session.main();
    for (int code : {0, 1}) {
        MessageBoxAnswerer answerer({IDNO});
        Command(main, DeleteAllCommand, code);
        EXPECT_EQ(answerer.seen().size(), 1u) << code;
    }
    EXPECT_TRUE(IsWindow(main));
}
