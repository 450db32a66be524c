// Start-up of the shell: record sizes, fonts, brush, menu bar, window classes, the main window,
// and the report when the main window cannot be created.
#include <gtest/gtest.h>

#include <string>

#include "base/AppResources_win.h"
#include "base/Cp932_win.h"
#include "app/Startup_win.h"
#include "app/UiResources_win.h"
#include "base/Menu_win.h"
#include "base/ids.h"
#include "history/HistoryStore.h"
#include "support/MessageBoxHook_win.h"
#include "support/ShellSession_win.h"
#include "support/TestWindow_win.h"

// The record sizes the API is called with, checked as each build compiles (the i686 build cannot
// run here); that the API takes them shows in the menu and class tests below.
#ifdef _WIN64
static_assert(sizeof(WNDCLASSEXA) == 80, "WNDCLASSEXA on x86_64");
static_assert(MenuItemRecordSize == 72, "MENUITEMINFOA without hbmpItem on x86_64");
#else
static_assert(sizeof(WNDCLASSEXA) == 48, "WNDCLASSEXA on i686");
static_assert(MenuItemRecordSize == 44, "MENUITEMINFOA without hbmpItem on i686");
#endif

namespace {

std::string MenuText(HMENU menu, UINT position) {
    WCHAR text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return Cp932From(text);
}

struct DropDown {
    const char* title;
    const char* entry;
    UINT commandId;
};

} // namespace

TEST(Startup, MenuBarHasThreeDropDownsOfOneEntryEach) {
    ShellSession session;
    HMENU bar = GetMenu(session.main());
    ASSERT_EQ(bar, AppResources().menuBar);
    ASSERT_EQ(GetMenuItemCount(bar), 3);

    // Shift_JIS bytes written out, independent of the compiler's execution character set.
    const DropDown expected[] = {
        {"\x83\x74\x83\x40\x83\x43\x83\x8b(&F)", "\x8f\x49\x97\xb9(&C)", ExitCommand},
        {"\x95\xd2\x8f\x57(&E)", "\x91\x53\x8d\xed\x8f\x9c", DeleteAllCommand},
        {"HELP(&H)", "\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1(&A)", VersionInfoCommand},
    };
    const HMENU dropDowns[] = {AppResources().fileMenu, AppResources().editMenu, AppResources().helpMenu};
    for (UINT i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(MenuText(bar, i), expected[i].title);
        HMENU dropDown = GetSubMenu(bar, i);
        EXPECT_EQ(dropDown, dropDowns[i]);
        ASSERT_EQ(GetMenuItemCount(dropDown), 1);
        EXPECT_EQ(MenuText(dropDown, 0), expected[i].entry);

        MENUITEMINFOA item = {};
        item.cbSize = MenuItemRecordSize;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
        ASSERT_TRUE(GetMenuItemInfoA(dropDown, 0, TRUE, &item));
        EXPECT_EQ(item.wID, expected[i].commandId);
        EXPECT_EQ(item.fType, static_cast<UINT>(MFT_STRING));
        EXPECT_EQ(item.fState & (MFS_GRAYED | MFS_CHECKED), 0u);
        EXPECT_EQ(item.hSubMenu, nullptr);
    }
}

TEST(Startup, FontsAndBrushAreAsTabled) {
    ShellSession session;
    struct Expected {
        HFONT font;
        LONG height;
        BYTE pitchAndFamily;
    };
    const Expected fonts[] = {{AppResources().controlFont, -12, FF_SWISS | DEFAULT_PITCH},
                              {AppResources().dialogFont, -16, FF_MODERN | VARIABLE_PITCH}};
    for (const Expected& e : fonts) {
        LOGFONTW font = {};
        ASSERT_EQ(GetObjectW(e.font, sizeof font, &font), static_cast<int>(sizeof font));
        EXPECT_EQ(font.lfHeight, e.height);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
        EXPECT_EQ(font.lfOutPrecision, OUT_STROKE_PRECIS);
        EXPECT_EQ(font.lfClipPrecision, CLIP_STROKE_PRECIS);
        EXPECT_EQ(font.lfQuality, DRAFT_QUALITY);
        EXPECT_EQ(font.lfPitchAndFamily, e.pitchAndFamily);
        EXPECT_EQ(Cp932From(font.lfFaceName), "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e");
    }
    ASSERT_NE(AppResources().listFont, nullptr);
    LOGFONTW font;
    ASSERT_EQ(GetObjectW(static_cast<HFONT>(AppResources().listFont), sizeof font, &font),
              static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, 16);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfWeight, FW_DONTCARE);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(font.lfOutPrecision, OUT_CHARACTER_PRECIS);
    EXPECT_EQ(font.lfClipPrecision, CLIP_DEFAULT_PRECIS);
    EXPECT_EQ(font.lfQuality, DEFAULT_QUALITY);
    EXPECT_EQ(font.lfPitchAndFamily, FIXED_PITCH | FF_DONTCARE);
    EXPECT_EQ(Cp932From(font.lfFaceName), "ＭＳ Ｐゴシック");

    LOGBRUSH brush = {};
    ASSERT_EQ(GetObjectA(AppResources().backgroundBrush, sizeof brush, &brush), static_cast<int>(sizeof brush));
    EXPECT_EQ(brush.lbColor, GetSysColor(COLOR_BTNFACE));
}

TEST(Startup, WindowClassesAndMainWindow) {
    ShellSession session;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const char* name : {"NORMALDLG", "NORMAL0"}) {
        SCOPED_TRACE(name);
        WNDCLASSEXA info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetClassInfoExA(instance, name, &info));
        EXPECT_EQ(info.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
        EXPECT_EQ(info.cbClsExtra, 0);
        EXPECT_EQ(info.cbWndExtra, 0);
        EXPECT_EQ(info.hbrBackground, AppResources().backgroundBrush);
        EXPECT_NE(info.hIcon, nullptr);
        EXPECT_EQ(info.lpszMenuName, nullptr);
    }

    HWND main = session.main();
    ASSERT_TRUE(IsWindow(main));
    EXPECT_EQ(MainWindow(), main);
    char text[64] = {};
    GetClassNameA(main, text, sizeof text);
    EXPECT_STREQ(text, "NORMAL0");
    GetWindowTextA(main, text, sizeof text);
    EXPECT_STREQ(text, "Clipwren");
    const LONG_PTR style = GetWindowLongPtrA(main, GWL_STYLE);
    EXPECT_EQ(style & (WS_OVERLAPPEDWINDOW | WS_VISIBLE), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    RECT frame = {};
    GetWindowRect(main, &frame);
    EXPECT_EQ(frame.right - frame.left, 640);
    EXPECT_EQ(frame.bottom - frame.top, 240);
}

TEST(Startup, ReleaseLeavesNoHandles) {
    {
        ShellSession session;
        SendMessageA(session.main(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(session.main()));
    }
    EXPECT_EQ(AppResources().menuBar, nullptr);
    EXPECT_EQ(AppResources().controlFont, nullptr);
    EXPECT_EQ(AppResources().dialogFont, nullptr);
    EXPECT_EQ(AppResources().listFont, nullptr);
    EXPECT_EQ(AppResources().backgroundBrush, nullptr);
}

TEST(Startup, FailedMessageRetrievalStillSavesTheHistory) {
    ShellSession session;
    ASSERT_EQ(InsertAtTop(TheHistory(), "http://example.com/kept", EntryKind::Url, "Kept"), 1);
    EXPECT_EQ(EndAfterFailedRetrieval(), 1);
    EXPECT_FALSE(IsWindow(session.main()));
    EXPECT_NE(ReadWholeFile(session.folder().File("CWHistry.txt")).find("http://example.com/kept"),
              std::string::npos);
    EXPECT_EQ(PumpPendingMessages(), 0);
}

TEST(Startup, MainWindowThatCannotBeCreatedIsReportedWithExitCodeOne) {
    TempFolder folder;
    MessageBoxAnswerer answerer({IDOK});
    int code = 0;
    {
        WindowCreationRefusal refusal("NORMAL0");
        code = RunClipwren();
    }
    EXPECT_EQ(code, 1);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].caption, "Clipwren");
    EXPECT_EQ(answerer.seen()[0].text, "メインウィンドウを作成できませんでした。");
    EXPECT_EQ(AppResources().controlFont, nullptr);
    EXPECT_EQ(AppResources().menuBar, nullptr);
    EXPECT_EQ(PumpPendingMessages(), -1);
    UnregisterClassA("NORMAL0", GetModuleHandleA(nullptr));
    UnregisterClassA("NORMALDLG", GetModuleHandleA(nullptr));
}
