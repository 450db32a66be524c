// The main window against its real procedure: controls, layout, commands, shutdown routes and
// the end-of-session save.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "base/AppResources_win.h"
#include "base/Cp932_win.h"
#include "base/ids.h"
#include "history/HistoryStore.h"
#include "ui/ViewState.h"
#include "support/ClipboardAccess_win.h"
#include "support/MessageBoxHook_win.h"
#include "support/ShellSession_win.h"

namespace {

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Read in UTF-16 and compared in Shift_JIS, the same on any system.
std::string TextOf(HWND window) {
    WCHAR text[256] = {};
    GetWindowTextW(window, text, 256);
    return Cp932From(text);
}

// The rectangle of a child in its parent's client coordinates.
RECT ChildRect(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Click(HWND main, int id, int code = BN_CLICKED) {
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(main, id)));
}

struct ControlExpectation {
    int id;
    const char* className;
    const char* text;
    LONG_PTR exStyle;
    LONG_PTR style;
};

} // namespace

TEST(MainWindow, ControlsAreCreatedAsTabled) {
    ShellSession session;
    // The list starts hidden and runs its own scroll bars; checking a radio button gives it
    // WS_TABSTOP (the system does that); everything else keeps the creation styles. The text
    // view already shows the first refresh (null here: not compared).
    const ControlExpectation controls[] = {
        {TextView, "Edit", nullptr, WS_EX_CLIENTEDGE,
         WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN},
        {RefreshButton, "Button", "表示更新", 0, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON},
        {UrlOnlyButton, "Button", "URLのみ", 0, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | WS_TABSTOP},
        {UrlTitleButton, "Button", "URL+タイトル", 0, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON},
        {UrlTextButton, "Button", "URL+テキスト", 0, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON},
        {ListDisplayCheck, "Button", "リスト表示", 0, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX},
        {EntryList, "SysListView32", "", WS_EX_CLIENTEDGE, WS_CHILD | LVS_REPORT},
    };
    for (const ControlExpectation& c : controls) {
        SCOPED_TRACE(c.id);
        HWND control = GetDlgItem(session.main(), c.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetDlgCtrlID(control), c.id);
        EXPECT_EQ(lstrcmpiA(ClassOf(control).c_str(), c.className), 0) << ClassOf(control);
        if (c.text) {
            EXPECT_EQ(TextOf(control), c.text);
        }
        EXPECT_EQ(GetWindowLongPtrA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, c.exStyle);
        LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
        if (c.id == EntryList) {
            style &= ~static_cast<LONG_PTR>(WS_HSCROLL | WS_VSCROLL);
        }
        EXPECT_EQ(style, c.style) << std::hex << style;
        const LRESULT font = SendMessageA(control, WM_GETFONT, 0, 0);
        if (c.id == EntryList) {
            EXPECT_EQ(font, reinterpret_cast<LRESULT>(AppResources().listFont));
        } else {
            EXPECT_EQ(font, reinterpret_cast<LRESULT>(AppResources().controlFont));
        }
    }
}

TEST(MainWindow, StartsInUrlOnlyModeWithTheListPrepared) {
    ShellSession session;
    HWND main = session.main();
    EXPECT_EQ(SendDlgItemMessageA(main, UrlOnlyButton, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageA(main, UrlTitleButton, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendDlgItemMessageA(main, ListDisplayCheck, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    const LRESULT listStyles = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    EXPECT_EQ(SendDlgItemMessageA(main, EntryList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & listStyles, listStyles);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, EntryList)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, TextView)));
    EXPECT_EQ(TheView().displayMode, DisplayMode::UrlOnly);
}

// 2 to 5 ticks in 3.5 s: loose enough for a loaded machine, tight enough for a wrong interval.
// Another program copies every 300 ms meanwhile; the captures its notifications bring are not
// ticks, and stopping or restarting timer 24 for them would leave no tick at all.
TEST(MainWindow, CaptureTimerTicksEverySecond) {
    ShellSession session;
    HWND main = session.main();
    int ticks = 0;
    int settles = 0;
    int copies = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 3500) {
        if (GetTickCount() - start >= static_cast<DWORD>(300 * copies)) {
            ASSERT_TRUE(PutClipboard(("http://127.0.0.1:1/copy" + std::to_string(copies++)).c_str()));
        }
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.hwnd == main && message.message == WM_TIMER) {
                ticks += message.wParam == CaptureTimer ? 1 : 0;
                settles += message.wParam == ClipboardSettleTimer ? 1 : 0;
            }
            DispatchMessageA(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    EXPECT_GE(ticks, 2);
    EXPECT_LE(ticks, 5);
    EXPECT_GT(settles, 0) << "no notified capture ran";
}

TEST(MainWindow, LayoutFollowsTheClientWidth) {
    ShellSession session;
    HWND main = session.main();
    for (int width : {640, 900, 300, 140, 1200}) {
        SCOPED_TRACE(width);
        SetWindowPos(main, nullptr, 0, 0, width, 300, SWP_NOMOVE | SWP_NOZORDER);
        RECT client = {};
        GetClientRect(main, &client);
        const int w = client.right;
        EXPECT_EQ(TheView().listWidth, w - 128);
        for (int id : {TextView, EntryList}) {
            const RECT area = ChildRect(GetDlgItem(main, id));
            EXPECT_EQ(area.left, 0);
            EXPECT_EQ(area.top, 0);
            EXPECT_EQ(area.right, w - 128);
            EXPECT_EQ(area.bottom, client.bottom);
        }
        const int buttons[] = {RefreshButton, UrlOnlyButton, UrlTitleButton, UrlTextButton, ListDisplayCheck};
        for (int i = 0; i < 5; ++i) {
            const RECT button = ChildRect(GetDlgItem(main, buttons[i]));
            EXPECT_EQ(button.left, w - 112);
            EXPECT_EQ(button.top, 16 + 32 * i);
            EXPECT_EQ(button.right - button.left, 96);
            EXPECT_EQ(button.bottom - button.top, 32);
        }
    }
}

TEST(MainWindow, MinimisedAndRestoredWindowKeepsItsLayout) {
    ShellSession session;
    HWND main = session.main();
    ShowWindow(main, SW_MINIMIZE);
    PumpPendingMessages();
    EXPECT_TRUE(IsWindow(main));
    ShowWindow(main, SW_RESTORE);
    PumpPendingMessages();
    RECT client = {};
    GetClientRect(main, &client);
    EXPECT_GT(client.right, 128);
    EXPECT_EQ(TheView().listWidth, client.right - 128);
    EXPECT_EQ(ChildRect(GetDlgItem(main, RefreshButton)).left, client.right - 112);
}

TEST(MainWindow, TextModeButtonsReplaceOnlyTheTextMode) {
    ShellSession session;
    HWND main = session.main();
    ViewState& view = TheView();

    Click(main, UrlTitleButton);
    EXPECT_EQ(view.displayMode, DisplayMode::UrlTitle);
    Click(main, UrlTextButton);
    EXPECT_EQ(view.displayMode, DisplayMode::UrlText);
    Click(main, UrlOnlyButton);
    EXPECT_EQ(view.displayMode, DisplayMode::UrlOnly);

    // With the list shown, a text mode keeps the list bit.
    SendDlgItemMessageA(main, ListDisplayCheck, BM_SETCHECK, BST_CHECKED, 0);
    Click(main, ListDisplayCheck);
    EXPECT_EQ(view.displayMode, DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    Click(main, UrlTitleButton);
    EXPECT_EQ(view.displayMode, DisplayMode::UrlTitle | DisplayMode::ListDisplay);

    // Clearing the box clears only the list bit: the text view comes back with titles.
    SendDlgItemMessageA(main, ListDisplayCheck, BM_SETCHECK, BST_UNCHECKED, 0);
    Click(main, ListDisplayCheck);
    EXPECT_EQ(view.displayMode, DisplayMode::UrlTitle);
}

TEST(MainWindow, ButtonsActOnClicksOnly) {
    ShellSession session;
    HWND main = session.main();
    ViewState& view = TheView();
    for (int code : {BN_SETFOCUS, BN_KILLFOCUS, 1}) {
        Click(main, UrlTextButton, code);
        EXPECT_EQ(view.displayMode, DisplayMode::UrlOnly);
        SendDlgItemMessageA(main, ListDisplayCheck, BM_SETCHECK, BST_CHECKED, 0);
        Click(main, ListDisplayCheck, code);
        EXPECT_EQ(view.displayMode, DisplayMode::UrlOnly);
    }
    // Commands nobody owns change nothing.
    Click(main, 999);
    Click(main, TextView, EN_CHANGE);
    EXPECT_EQ(view.displayMode, DisplayMode::UrlOnly);
    EXPECT_TRUE(IsWindow(main));
}

TEST(MainWindow, ExitAsksAndNoKeepsEverythingRunning) {
    ShellSession session;
    HWND main = session.main();
    {
        MessageBoxAnswerer answerer({IDNO});
        SendMessageA(main, WM_COMMAND, MAKEWPARAM(ExitCommand, 0), 0);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].caption, "終了の確認");
        EXPECT_EQ(answerer.seen()[0].text, "ホントに終了しますか？");
    }
    EXPECT_TRUE(IsWindow(main));
    EXPECT_NE(AppResources().controlFont, nullptr);
    EXPECT_EQ(PumpPendingMessages(), -1);

    // A menu command acts whatever its notification code (1: from an accelerator).
    MessageBoxAnswerer answerer({IDYES});
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(ExitCommand, 1), 0);
    EXPECT_EQ(answerer.seen().size(), 1u);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(PumpPendingMessages(), 0);
}

TEST(MainWindow, CloseSavesAtOnceWithoutAQuestion) {
    ShellSession session;
    HWND main = session.main();
    ASSERT_EQ(InsertAtTop(TheHistory(), "http://example.com/closed", EntryKind::Url, "Closed"), 1);
    MessageBoxAnswerer answerer({});
    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(answerer.seen().empty());
    EXPECT_FALSE(IsWindow(main));
    const std::string file = session.folder().File("CWHistry.txt");
    EXPECT_NE(ReadWholeFile(file).find("http://example.com/closed"), std::string::npos);
    EXPECT_NE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    // The history has been released, the shell's resources are gone, the loop may end.
    EXPECT_EQ(TheHistory().count, 0);
    EXPECT_EQ(TheHistory().ownedStrings, 0);
    EXPECT_EQ(AppResources().listFont, nullptr);
    EXPECT_EQ(AppResources().backgroundBrush, nullptr);
    EXPECT_EQ(PumpPendingMessages(), 0);
}

// A log-off writes the history before the message returns; a process that outlives it (a
// Restart Manager close that is then given up) goes on capturing and saving as before.
TEST(MainWindow, SessionEndSavesAndKeepsEverythingRunning) {
    // Nothing on the clipboard for the ticks to take while the test waits.
    ASSERT_TRUE(PutClipboard(nullptr));
    ShellSession session;
    HWND main = session.main();
    HistoryStore& store = TheHistory();
    const std::string file = session.folder().File("CWHistry.txt");
    auto saved = [&](const char* content) { return ReadWholeFile(file).find(content) != std::string::npos; };
    ASSERT_EQ(InsertAtTop(store, "http://example.com/a", EntryKind::Url, "A"), 1);

    EXPECT_EQ(SendMessageA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    // A cancelled end changes nothing.
    SendMessageA(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(PumpUntil([&] { return saved("http://example.com/a"); }));

    for (LPARAM how : {static_cast<LPARAM>(ENDSESSION_LOGOFF), static_cast<LPARAM>(0)}) {
        const std::string kind = how ? "logoff" : "plain";
        SCOPED_TRACE(kind);
        const std::string atTheEnd = "http://example.com/at-the-end/" + kind;
        ASSERT_EQ(InsertAtTop(store, atTheEnd.c_str(), EntryKind::Url, "End"), 1);
        // A notification's settle timer is armed as the session ends.
        SendMessageA(main, WM_CLIPBOARDUPDATE, 0, 0);
        SendMessageA(main, WM_ENDSESSION, TRUE, how);
        EXPECT_TRUE(saved(atTheEnd.c_str()));
        EXPECT_TRUE(IsWindow(main));
        EXPECT_NE(AppResources().listFont, nullptr);
        EXPECT_NE(KillTimer(main, CaptureTimer), 0) << "the capture timer was stopped";

        // With the tick stopped, only the notifications can capture the copy.
        const std::string copied = "http://127.0.0.1:1/after-the-end/" + kind;
        ASSERT_TRUE(PutClipboard(copied.c_str()));
        EXPECT_TRUE(PumpUntil([&] { return saved(copied.c_str()); })) << "not captured, or not saved";
        SetTimer(main, CaptureTimer, CaptureIntervalMs, nullptr);
        ASSERT_TRUE(PutClipboard(nullptr));
    }
    EXPECT_STREQ(store.content[store.count - 1], "http://example.com/a");

    // A normal exit saves as usual.
    ASSERT_EQ(InsertAtTop(store, "http://example.com/b", EntryKind::Url, "B"), 1);
    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(saved("http://example.com/a"));
    EXPECT_TRUE(saved("http://example.com/b"));
}
