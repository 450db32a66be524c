// Clipboard notifications under Wine: the real clipboard, copies from another process, the settle
// timer, and the tick's rules for what a notified capture does.
#include "app/ClipboardWatch_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/CaptureSchedule.h"
#include "app/Capture_win.h"
#include "app/MainWindow_win.h"
#include "base/AppResources_win.h"
#include "base/Cp932_win.h"
#include "base/ids.h"
#include "capture/Clipboard_win.h"
#include "history/HistoryStore.h"
#include "support/CaptureCases.h"
#include "support/ClipboardAccess_win.h"
#include "support/ProgramProcess_win.h"
#include "support/ShellSession_win.h"
#include "support/StoreBuilder.h"
#include "support/TestWindow_win.h"

namespace {

// A closed loopback port: the title download fails at once and never leaves the machine.
const char LoopbackUrl[] = "http://127.0.0.1:1/notified";

// Waits are bounded: a test that goes wrong fails instead of hanging.
constexpr DWORD WaitLimitMs = 15000;

// The main window's routes for the clipboard and the timers, without its controls; timer 24 is
// not started, so only notifications capture.
LRESULT CALLBACK WatchingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLIPBOARDUPDATE) {
        OnClipboardUpdate();
        return 0;
    }
    if (message == WM_TIMER) {
        OnTimer(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Dispatches one message of this thread, or waits up to 20 ms for one. Returns the message
// dispatched (message 0 when there was none).
MSG PumpOne() {
    MSG message = {};
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
        return message;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    return MSG{};
}

class NotifiedCaptureTest : public MainWindowStandInTest {
protected:
    NotifiedCaptureTest() : MainWindowStandInTest("ClipwrenWatchTest", WatchingWindowProc) {}
    void SetUp() override {
        MainWindowStandInTest::SetUp();
        StartClipboardWatch(window);
    }
    void TearDown() override {
        StopClipboardWatch(window);
        MainWindowStandInTest::TearDown();
    }

    // Dispatches this thread's messages until a clipboard notification has come and the settle
    // timer's capture has run after it.
    bool AwaitSettledCapture() {
        bool notified = false;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < WaitLimitMs) {
            const MSG message = PumpOne();
            if (message.hwnd != window) {
                continue;
            }
            notified = notified || message.message == WM_CLIPBOARDUPDATE;
            if (notified && message.message == WM_TIMER && message.wParam == ClipboardSettleTimer &&
                !TheCaptureSchedule().settleArmed) {
                return true;
            }
        }
        return false;
    }

    void Notified(const char* text) {
        ASSERT_TRUE(PutClipboard(text));
        ASSERT_TRUE(AwaitSettledCapture());
    }

    void Fill(int entries) { FillCaseHistory(store, entries); }
};

TEST_F(NotifiedCaptureTest, SharedCaptureCases) {
    RunCaptureCases(store, view, [this](const CaptureCase& c) { Notified(c.clipboard); });
}

TEST_F(NotifiedCaptureTest, PrivacyMarksHold) {
    const DWORD refuse = 0;
    view.displayMode = DisplayMode::UrlText;
    view.refreshPending = 0;
    ASSERT_TRUE(PutClipboard("hunter2", "CanIncludeInClipboardHistory", &refuse, sizeof refuse));
    ASSERT_TRUE(AwaitSettledCapture());
    ASSERT_TRUE(PutClipboardFormats({{CF_UNICODETEXT, Utf16Bytes(L"hunter2")},
                                     {RegisterClipboardFormatA("Clipboard Viewer Ignore"), "1"}}));
    ASSERT_TRUE(AwaitSettledCapture());
    EXPECT_EQ(store.count, 0);
    EXPECT_EQ(view.refreshPending, 0);
    Notified("hunter3");
    ASSERT_EQ(store.count, 1);
    EXPECT_STREQ(store.content[0], "hunter3");
}

TEST_F(NotifiedCaptureTest, CopyBackComesBackAndIsFoundAmongTheFiveNewest) {
    Fill(6);
    view.refreshPending = 1;
    ASSERT_EQ(WriteClipboardText(store.content[3]), 1);
    ASSERT_TRUE(AwaitSettledCapture());
    EXPECT_EQ(view.refreshPending, 0);
    EXPECT_EQ(store.count, 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(store.content[i], CaseUrl(i));
    }
}

TEST_F(NotifiedCaptureTest, AStreamOfNotificationsDoesNotPostponeTheCapture) {
    ASSERT_TRUE(PutClipboard(LoopbackUrl));
    // A notification every 10 ms for a good second, far more often than the settle time: the
    // capture must still come while they go on.
    int sent = 0;
    for (; sent < 120 && store.count == 0; ++sent) {
        SendMessageA(window, WM_CLIPBOARDUPDATE, 0, 0);
        PumpPendingMessages();
        Sleep(10);
    }
    EXPECT_EQ(store.count, 1) << "no capture during " << sent << " notifications";
}

// Timer 24 is set far out: a notified capture that stopped it, or restarted it at the tick's
// interval, shows.
TEST_F(NotifiedCaptureTest, NotifiedCaptureLeavesTimer24Alone) {
    ASSERT_NE(SetTimer(window, CaptureTimer, 60000, nullptr), 0u);
    Notified(LoopbackUrl);
    EXPECT_EQ(store.count, 1);
    int ticks = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 2 * CaptureIntervalMs) {
        const MSG message = PumpOne();
        ticks += message.message == WM_TIMER && message.wParam == CaptureTimer ? 1 : 0;
    }
    EXPECT_EQ(ticks, 0) << "timer 24 was restarted";
    EXPECT_TRUE(KillTimer(window, CaptureTimer)) << "timer 24 was stopped";
}

TEST_F(NotifiedCaptureTest, NoCaptureInsideAnother) {
    CaptureSchedule& schedule = TheCaptureSchedule();
    ASSERT_TRUE(BeginCapture(schedule));
    ASSERT_TRUE(PutClipboard(LoopbackUrl));
    // The settle timer fires while the capture runs: it keeps firing and takes nothing.
    int settleFirings = 0;
    const DWORD start = GetTickCount();
    while (settleFirings < 3 && GetTickCount() - start < WaitLimitMs) {
        const MSG message = PumpOne();
        settleFirings += message.message == WM_TIMER && message.wParam == ClipboardSettleTimer ? 1 : 0;
    }
    EXPECT_EQ(settleFirings, 3);
    ClipboardTick();
    EXPECT_EQ(store.count, 0);
    EXPECT_TRUE(KillTimer(window, CaptureTimer)) << "the skipped tick did not restart timer 24";
    EndCapture(schedule);
    // Once it is over, the settle timer's capture comes.
    while (store.count == 0 && GetTickCount() - start < WaitLimitMs) {
        PumpOne();
    }
    ASSERT_EQ(store.count, 1);
    EXPECT_STREQ(store.content[0], LoopbackUrl);
    EXPECT_FALSE(schedule.settleArmed);
}

// ---- The real main window -------------------------------------------------------------------

std::string QuickUrl(int i) {
    return "http://127.0.0.1:1/quick" + std::to_string(i) + "/";
}
constexpr int QuickCopies = 12;

// Child side of the next test: another program that copies each address as soon as it is told.
TEST(ClipboardCopierProcess, DISABLED_Copy) {
    const char* name = std::getenv("CLIPWREN_COPY_NAME");
    ASSERT_NE(name, nullptr);
    HANDLE next = OpenEventA(SYNCHRONIZE, FALSE, (std::string(name) + "Next").c_str());
    ASSERT_NE(next, nullptr);
    const HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    for (int i = 0; i < QuickCopies; ++i) {
        ASSERT_EQ(WaitForSingleObject(next, WaitLimitMs), WAIT_OBJECT_0) << "copy " << i;
        ASSERT_TRUE(PutClipboardFormats({{CF_TEXT, AnsiBytes(QuickUrl(i))}}, owner));
    }
    DestroyWindow(owner);
    CloseHandle(next);
}

// Each copy follows the moment the previous one is in the history: as quick as the program can
// take them, and with timer 24 stopped, so every one is taken by its notification.
TEST(ClipboardWatch, QuickCopiesFromAnotherProcessAreAllTakenInOrder) {
    ShellSession session;
    KillTimer(session.main(), CaptureTimer);
    HistoryStore& store = TheHistory();
    char name[64];
    std::snprintf(name, sizeof name, "ClipwrenCopy%lu", GetCurrentProcessId());
    HANDLE next = CreateEventA(nullptr, FALSE, TRUE, (std::string(name) + "Next").c_str());
    ASSERT_NE(next, nullptr);
    SetEnvironmentVariableA("CLIPWREN_COPY_NAME", name);
    ProgramProcess copier;
    ASSERT_TRUE(copier.StartThisTestAlone("ClipboardCopierProcess.DISABLED_Copy"));

    int taken = 0;
    const DWORD start = GetTickCount();
    while (taken < QuickCopies && GetTickCount() - start < 4 * WaitLimitMs) {
        PumpOne();
        if (store.count > taken) {
            taken = store.count;
            SetEvent(next);
        }
    }
    EXPECT_EQ(copier.WaitForExit(WaitLimitMs), 0u);
    CloseHandle(next);

    ASSERT_EQ(store.count, QuickCopies);
    for (int i = 0; i < QuickCopies; ++i) {
        EXPECT_EQ(store.content[i], QuickUrl(QuickCopies - 1 - i));
    }
}

// True when a clipboard notification for window arrives within waitMs (taken off the queue).
bool NotificationArrives(HWND window, DWORD waitMs) {
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < waitMs) {
        if (PeekMessageA(&message, window, WM_CLIPBOARDUPDATE, WM_CLIPBOARDUPDATE, PM_REMOVE)) {
            return true;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_POSTMESSAGE);
    }
    return false;
}

// The destroy handler itself is sent here, so the window outlives it and shows whether it still
// listens: destroying the window would drop the registration anyway.
TEST(ClipboardWatch, TheDestroyHandlerRemovesTheListener) {
    ShellSession session;
    HWND main = session.main();
    KillTimer(main, CaptureTimer);
    ASSERT_TRUE(PutClipboard("before the end"));
    EXPECT_TRUE(NotificationArrives(main, WaitLimitMs));

    SendMessageA(main, WM_DESTROY, 0, 0);
    EXPECT_EQ(PumpPendingMessages(), 0);
    ASSERT_TRUE(PutClipboard("after the end"));
    EXPECT_FALSE(NotificationArrives(main, 1000));
    EXPECT_FALSE(RemoveClipboardFormatListener(main)) << "it was still registered";
    EXPECT_FALSE(KillTimer(main, ClipboardSettleTimer));
}

// Copies while a message box of the main window is open, and answers it once the copy is in.
struct BoxDriver {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
        ++ticks;
        HWND box = FindWindowW(L"#32770", WideFrom("終了の確認").c_str());
        if (!box && ticks < 200) {
            return;
        }
        if (!copied) {
            copied = PutClipboard(LoopbackUrl);
        }
        if (TheHistory().count > 0 || ticks >= 200) {
            KillTimer(nullptr, timer);
            takenWhileOpen = TheHistory().count > 0;
            if (box) {
                PostMessageA(box, WM_COMMAND, IDNO, 0);
            }
        }
    }
    static inline int ticks = 0;
    static inline bool copied = false;
    static inline bool takenWhileOpen = false;
};

TEST(ClipboardWatch, CapturesGoOnWhileAMessageBoxIsOpen) {
    ShellSession session;
    HWND main = session.main();
    KillTimer(main, CaptureTimer);
    BoxDriver::ticks = 0;
    BoxDriver::copied = false;
    BoxDriver::takenWhileOpen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, BoxDriver::Tick);
    ASSERT_NE(timer, 0u);
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(ExitCommand, 0), 0);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(BoxDriver::copied);
    EXPECT_TRUE(BoxDriver::takenWhileOpen);
    EXPECT_TRUE(IsWindow(main));
    ASSERT_EQ(TheHistory().count, 1);
    EXPECT_STREQ(TheHistory().content[0], LoopbackUrl);
}

} // namespace
