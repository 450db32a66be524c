// The version window against its real procedures, driven from a timer of the test's own thread
// while the nested loop runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/AppResources_win.h"
#include "base/Cp932_win.h"
#include "app/VersionDialog_win.h"
#include "app/AppTestSeams_win.h"
#include "base/ids.h"
#include "capture/Clipboard_win.h"
#include "history/HistoryStore.h"
#include "support/ShellSession_win.h"
#include "support/TestWindow_win.h"

namespace {

// Calls a test's step on every tick of a thread timer while the version window's loop runs.
// After maxTicks the window is closed, so a test that goes wrong cannot hang.
class DialogDriver {
public:
    using Step = void (*)(DialogDriver& driver, HWND dialog);

    DialogDriver(Step step, int maxTicks = 50) : step_(step), maxTicks_(maxTicks) {
        active_ = this;
        timer_ = SetTimer(nullptr, 0, 50, OnTick);
    }
    ~DialogDriver() {
        KillTimer(nullptr, timer_);
        active_ = nullptr;
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    int ticks = 0;
    bool gaveUp = false;
    HICON icon = nullptr;       // the icon control's icon, seen while open
    bool ownerEnabled = true;   // the main window's state while open
    int mainTimerTicks = 0;     // WM_TIMER 24 dispatched to the main window while open

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
        DialogDriver& self = *active_;
        ++self.ticks;
        HWND dialog = FindWindowA("NORMALDLG", "DigVersionInfo");
        if (self.ticks > self.maxTicks_) {
            self.gaveUp = true;
            KillTimer(nullptr, self.timer_);
            if (dialog) {
                SendMessageA(dialog, WM_CLOSE, 0, 0);
            }
            return;
        }
        if (dialog) {
            self.step_(self, dialog);
        }
    }

    static DialogDriver* active_;
    Step step_;
    int maxTicks_;
    UINT_PTR timer_;
};
DialogDriver* DialogDriver::active_ = nullptr;

// Counts the main window's capture ticks as the message loops take them off the queue.
class TimerWatch {
public:
    explicit TimerWatch(int* count) {
        count_ = count;
        hook_ = SetWindowsHookExA(WH_GETMESSAGE, OnMessage, nullptr, GetCurrentThreadId());
    }
    ~TimerWatch() { UnhookWindowsHookEx(hook_); }
    TimerWatch(const TimerWatch&) = delete;
    TimerWatch& operator=(const TimerWatch&) = delete;

private:
    static LRESULT CALLBACK OnMessage(int code, WPARAM wParam, LPARAM lParam) {
        const MSG* message = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_TIMER &&
            message->hwnd == MainWindow() && message->wParam == CaptureTimer) {
            ++*count_;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static int* count_;
    HHOOK hook_;
};
int* TimerWatch::count_ = nullptr;

void PressOk(DialogDriver& driver, HWND dialog) {
    driver.ownerEnabled = IsWindowEnabled(MainWindow()) != FALSE;
    driver.icon = reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, IconLabel, STM_GETICON, 0, 0));
    SendDlgItemMessageA(dialog, OkButton, BM_CLICK, 0, 0);
}

void CloseFromSystemMenu(DialogDriver& driver, HWND dialog) {
    driver.ownerEnabled = IsWindowEnabled(MainWindow()) != FALSE;
    SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Read in UTF-16 and compared in Shift_JIS, the same on any system.
std::string TextOf(HWND window) {
    WCHAR text[256] = {};
    GetWindowTextW(window, text, 256);
    return Cp932From(text);
}

bool IconExists(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) {
        return false;
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

// True when no quit message waits on the thread's queue (one found is taken off).
bool NoQuitWaiting() { return PumpPendingMessages() == -1; }

} // namespace

TEST(VersionDialog, OkEndsWithOneAndClosingWithZero) {
    ShellSession session;
    {
        DialogDriver driver(PressOk);
        EXPECT_EQ(RunVersionWindow(session.main()), 1);
        EXPECT_FALSE(driver.gaveUp);
        EXPECT_FALSE(driver.ownerEnabled);
    }
    EXPECT_TRUE(IsWindowEnabled(session.main()));
    EXPECT_EQ(FindWindowA("NORMALDLG", nullptr), nullptr);
    EXPECT_TRUE(NoQuitWaiting());
    {
        DialogDriver driver(CloseFromSystemMenu);
        EXPECT_EQ(RunVersionWindow(session.main()), 0);
        EXPECT_FALSE(driver.gaveUp);
        EXPECT_FALSE(driver.ownerEnabled);
    }
    EXPECT_TRUE(IsWindowEnabled(session.main()));
    EXPECT_TRUE(NoQuitWaiting());
    EXPECT_TRUE(IsWindow(session.main()));
}

TEST(VersionDialog, OkActsOnClicksOnly) {
    ShellSession session;
    static bool openAfterOtherCommands;
    openAfterOtherCommands = false;
    DialogDriver driver([](DialogDriver& d, HWND dialog) {
        if (d.ticks == 1) {
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(OkButton, BN_SETFOCUS), 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(HomePageField, BN_CLICKED), 0);
            // Still open after the two commands that are no click on OK.
            openAfterOtherCommands = IsWindow(dialog) != FALSE;
        } else {
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        }
    });
    EXPECT_EQ(RunVersionWindow(session.main()), 0);
    EXPECT_TRUE(openAfterOtherCommands) << "the window ended on a command that was no click on OK";
    EXPECT_GE(driver.ticks, 2);
    EXPECT_FALSE(driver.gaveUp);
}

namespace {

// "製作者　Wren" spelled as the Shift_JIS bytes the label must hold, so that a literal the
// compiler converted wrongly cannot agree with itself; 81 40 is the full-width space.
const char MakerCredit[] = "\x90\xBB\x8D\xEC\x8E\xD2\x81\x40" "Wren";

struct DialogControl {
    int id;
    const char* className;
    const char* text;
    LONG_PTR style;
    RECT rect;
};

void CheckControls(DialogDriver& driver, HWND dialog) {
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), MainWindow());
    EXPECT_EQ(VersionDialog(), dialog);
    // A caption and a system menu, without the frame, minimize or maximize box of a main window.
    EXPECT_EQ(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_CAPTION | WS_SYSMENU);
    EXPECT_TRUE(IsWindowVisible(dialog));
    RECT frame = {};
    GetWindowRect(dialog, &frame);
    EXPECT_EQ(frame.right - frame.left, 320);
    EXPECT_EQ(frame.bottom - frame.top, 200);
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);

    const DialogControl controls[] = {
        {OkButton, "Button", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, {112, 124, 208, 156}},
        {ProductLabel, "Static", "Clip Wren", WS_CHILD | WS_VISIBLE | SS_CENTER, {55, 12, 241, 37}},
        {VersionLabel, "Static", "Version 2.11", WS_CHILD | WS_VISIBLE | SS_LEFT, {106, 38, 214, 59}},
        {MakerLabel, "Static", MakerCredit, WS_CHILD | WS_VISIBLE | SS_LEFT, {96, 66, 227, 93}},
        {IconLabel, "Static", "", WS_CHILD | WS_VISIBLE | SS_ICON, {28, 25, 60, 57}},
        {HomePageField, "Edit", "https://clipwren.example.org/", WS_CHILD | WS_VISIBLE | ES_CENTER | ES_READONLY,
         {28, 92, 292, 115}},
    };
    HWND previous = nullptr;
    for (const DialogControl& c : controls) {
        SCOPED_TRACE(c.id);
        HWND control = GetDlgItem(dialog, c.id);
        ASSERT_NE(control, nullptr);
        char name[32] = {};
        GetClassNameA(control, name, sizeof name);
        EXPECT_EQ(lstrcmpiA(name, c.className), 0) << name;
        if (c.id != IconLabel) {
            EXPECT_EQ(TextOf(control), c.text);
        }
        const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
        EXPECT_EQ(style, c.style) << std::hex << style;
        EXPECT_EQ(GetWindowLongPtrA(control, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, 0);
        if (c.id != IconLabel) {  // an icon control has no text and keeps no font
            EXPECT_EQ(SendMessageA(control, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(AppResources().dialogFont));
        }
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if (c.id != IconLabel) {  // an icon control takes the size of its icon
            EXPECT_TRUE(EqualRect(&rect, &c.rect))
                << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
        }
        // Created in the order of the table: each one follows the one before.
        if (previous) {
            EXPECT_EQ(GetWindow(previous, GW_HWNDNEXT), control);
        }
        previous = control;
    }
    // The credit fits on one line of its label at the dialog font, with room to spare for a
    // wider face than the one this machine draws with. The label breaks its text as DrawText
    // does, so the line is also laid out as it would be in 10 pixels less than the label's width.
    {
        HWND maker = GetDlgItem(dialog, MakerLabel);
        const std::wstring credit = WideFrom(TextOf(maker).c_str());
        RECT label = {};
        GetClientRect(maker, &label);
        HDC dc = GetDC(maker);
        HGDIOBJ old = SelectObject(dc, AppResources().dialogFont);
        SIZE extent = {};
        EXPECT_TRUE(GetTextExtentPoint32W(dc, credit.c_str(), static_cast<int>(credit.size()), &extent));
        RECT laidOut = {0, 0, label.right - 10, label.bottom};
        const int height = DrawTextW(dc, credit.c_str(), static_cast<int>(credit.size()), &laidOut,
                                     DT_CALCRECT | DT_WORDBREAK | DT_LEFT);
        SelectObject(dc, old);
        ReleaseDC(maker, dc);
        EXPECT_GT(extent.cx, 0);
        EXPECT_LE(extent.cx + 10, label.right) << "credit is " << extent.cx << " pixels wide";
        EXPECT_EQ(height, extent.cy) << "the credit takes more than one line";
        EXPECT_LE(extent.cy, label.bottom);
    }

    // Read-only: the address can be copied but not changed.
    EXPECT_NE(GetWindowLongPtrA(GetDlgItem(dialog, HomePageField), GWL_STYLE) & ES_READONLY, 0);

    HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, IconLabel, STM_GETICON, 0, 0));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    PressOk(driver, dialog);
}

} // namespace

TEST(VersionDialog, ShowsItsControlsAndIcon) {
    ShellSession session;
    DialogDriver driver(CheckControls);
    EXPECT_EQ(RunVersionWindow(session.main()), 1);
    EXPECT_FALSE(driver.gaveUp);
}

TEST(VersionDialog, MenuCommandOpensItAndCaptureGoesOnMeanwhile) {
    ShellSession session;
    // A refused loopback port: the title fetch fails at once and the entry gets the fallback.
    const char copied[] = "http://127.0.0.1:9/copied-while-open/";
    ASSERT_EQ(WriteClipboardText(copied), 1);
    // Open until the main window has had two capture ticks and the copy has been taken in.
    DialogDriver driver(
        [](DialogDriver& d, HWND dialog) {
            d.ownerEnabled = IsWindowEnabled(MainWindow()) != FALSE;
            if (d.mainTimerTicks >= 2 && TheHistory().count > 0) {
                SendMessageA(dialog, WM_CLOSE, 0, 0);
            }
        },
        100);
    TimerWatch watch(&driver.mainTimerTicks);
    SendMessageA(session.main(), WM_COMMAND, MAKEWPARAM(VersionInfoCommand, 0), 0);
    EXPECT_FALSE(driver.gaveUp);
    EXPECT_GE(driver.mainTimerTicks, 2);
    ASSERT_EQ(TheHistory().count, 1);
    EXPECT_STREQ(TheHistory().content[0], copied);
    EXPECT_FALSE(driver.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(session.main()));
    EXPECT_TRUE(NoQuitWaiting());
}

int windowsSeen;

BOOL CALLBACK CountVersionWindows(HWND window, LPARAM) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    windowsSeen += lstrcmpA(name, "NORMALDLG") == 0 ? 1 : 0;
    return TRUE;
}

TEST(VersionDialog, CommandWhileOpenOpensNoSecondWindow) {
    ShellSession session;
    windowsSeen = 0;
    DialogDriver driver([](DialogDriver& d, HWND dialog) {
        if (d.ticks == 1) {
            // As another program could: the main window is disabled, its procedure is not.
            SendMessageA(MainWindow(), WM_COMMAND, MAKEWPARAM(VersionInfoCommand, 0), 0);
            EnumThreadWindows(GetCurrentThreadId(), CountVersionWindows, 0);
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        }
    });
    SendMessageA(session.main(), WM_COMMAND, MAKEWPARAM(VersionInfoCommand, 0), 0);
    EXPECT_FALSE(driver.gaveUp);
    EXPECT_EQ(windowsSeen, 1);
    EXPECT_EQ(FindWindowA("NORMALDLG", nullptr), nullptr);
    EXPECT_TRUE(IsWindowEnabled(session.main()));
}

TEST(VersionDialog, EveryOpeningReleasesItsIcon) {
    ShellSession session;
    // Wine reports no counts here (0); Windows does, and then they must come back.
    const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    HICON icons[2] = {};
    for (HICON& icon : icons) {
        DialogDriver driver(PressOk);
        EXPECT_EQ(RunVersionWindow(session.main()), 1);
        ASSERT_NE(driver.icon, nullptr);
        icon = driver.icon;
        EXPECT_FALSE(IconExists(icon));
    }
    if (userBefore != 0) {
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    }
}

TEST(VersionDialog, MainWindowClosedMeanwhileStillEndsTheProgram) {
    ShellSession session;
    // Another program closes the main window while the version window is open: the owned
    // version window goes with it, and the main loop must still get its quit message.
    DialogDriver driver([](DialogDriver&, HWND) { SendMessageA(MainWindow(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(RunVersionWindow(session.main()), 0);
    EXPECT_FALSE(driver.gaveUp);
    EXPECT_FALSE(IsWindow(session.main()));
    EXPECT_EQ(FindWindowA("NORMALDLG", nullptr), nullptr);
    EXPECT_EQ(PumpPendingMessages(), 0);
}

TEST(VersionDialog, ForeignQuitEndsTheWindowAndIsPassedOnWithItsCode) {
    ShellSession session;
    DialogDriver driver([](DialogDriver&, HWND) { PostQuitMessage(7); });
    EXPECT_EQ(RunVersionWindow(session.main()), 0);
    EXPECT_FALSE(driver.gaveUp);
    EXPECT_EQ(FindWindowA("NORMALDLG", nullptr), nullptr);
    EXPECT_TRUE(IsWindowEnabled(session.main()));
    EXPECT_EQ(PumpPendingMessages(), 7);
}

namespace {

bool hangGuardFired;

// Ends a loop that waits for a window that never came, so the test fails instead of hanging.
void CALLBACK HangGuard(HWND, UINT, UINT_PTR, DWORD) {
    hangGuardFired = true;
    PostQuitMessage(0);
}

} // namespace

TEST(VersionDialog, AWindowThatCannotBeCreatedLeavesTheMainWindowEnabledAndRunning) {
    ShellSession session;
    hangGuardFired = false;
    {
        WindowCreationRefusal refusal("NORMALDLG");
        const UINT_PTR guard = SetTimer(nullptr, 0, 5000, HangGuard);
        SendMessageA(session.main(), WM_COMMAND, MAKEWPARAM(VersionInfoCommand, 0), 0);
        KillTimer(nullptr, guard);
    }
    EXPECT_FALSE(hangGuardFired) << "the command waited for a window that was never created";
    EXPECT_TRUE(IsWindowEnabled(session.main()));
    EXPECT_EQ(VersionDialog(), nullptr);
    EXPECT_TRUE(NoQuitWaiting());
    // Still running: the next command opens the window as usual.
    DialogDriver driver(PressOk);
    EXPECT_EQ(RunVersionWindow(session.main()), 1);
    EXPECT_FALSE(driver.gaveUp);
    EXPECT_TRUE(IsWindowEnabled(session.main()));
}

namespace {

HWND firstWindow;
HWND secondWindow;

// Closes the window and asks for it again at once, as another program may: both messages wait
// on the queue before the closed window's loop has ended.
void CloseAndAskAgain(DialogDriver& driver, HWND dialog) {
    if (!firstWindow) {
        firstWindow = dialog;
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        PostMessageA(MainWindow(), WM_COMMAND, MAKEWPARAM(VersionInfoCommand, 0), 0);
    } else if (dialog != firstWindow && !secondWindow) {
        secondWindow = dialog;
    } else if (dialog == secondWindow && driver.ticks > 5) {
        // Still open several ticks later: it is not closed by anything left of the first one.
        PressOk(driver, dialog);
    }
}

} // namespace

TEST(VersionDialog, AskedForAgainRightAfterClosingItOpensAgainAndStays) {
    ShellSession session;
    firstWindow = nullptr;
    secondWindow = nullptr;
    DialogDriver driver(CloseAndAskAgain);
    EXPECT_EQ(RunVersionWindow(session.main()), 0);
    // The command waiting behind the close opens the second window in the main loop.
    EXPECT_TRUE(PumpUntil([&] { return driver.gaveUp || (secondWindow && !IsWindow(secondWindow)); }));
    EXPECT_FALSE(driver.gaveUp) << "the second window did not stay open";
    EXPECT_NE(secondWindow, nullptr);
    EXPECT_TRUE(IsWindowEnabled(session.main()));
    EXPECT_TRUE(NoQuitWaiting());
}
