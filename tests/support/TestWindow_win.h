// A hidden top-level window with a procedure of the test's own: the stand-in for the main window
// where a test needs only some of its routes.
#pragma once

#include <windows.h>

#include "base/AppResources_win.h"
#include "base/ids.h"
#include "support/StoreBuilder.h"

// Registers className with procedure the first time it is asked for; null when either step fails.
inline HWND CreateTestWindow(const char* className, WNDPROC procedure) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExA(instance, className, &windowClass)) {
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = className;
        if (!RegisterClassExA(&windowClass)) {
            return nullptr;
        }
    }
    return CreateWindowExA(0, className, "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, instance, nullptr);
}

// The one store and view state with such a window recorded as the main window, timers and all
// gone with it at the end.
class MainWindowStandInTest : public StoreTest {
protected:
    MainWindowStandInTest(const char* className, WNDPROC procedure) : className_(className), procedure_(procedure) {}
    void SetUp() override {
        StoreTest::SetUp();
        window = CreateTestWindow(className_, procedure_);
        ASSERT_NE(window, nullptr);
        AppResources().mainWindow = window;
    }
    void TearDown() override {
        KillTimer(window, CaptureTimer);
        KillTimer(window, ClipboardSettleTimer);
        DestroyWindow(window);
        AppResources().mainWindow = nullptr;
        StoreTest::TearDown();
    }

    HWND window = nullptr;

private:
    const char* className_;
    WNDPROC procedure_;
};

// Refuses the creation of every window of one class on this thread while it lives, as an exhausted
// desktop heap or USER handle table would. One at a time.
class WindowCreationRefusal {
public:
    explicit WindowCreationRefusal(const char* className)
        : hook_((refused_ = className, SetWindowsHookExA(WH_CBT, Refuse, nullptr, GetCurrentThreadId()))) {}
    ~WindowCreationRefusal() {
        UnhookWindowsHookEx(hook_);
        refused_ = nullptr;
    }
    WindowCreationRefusal(const WindowCreationRefusal&) = delete;
    WindowCreationRefusal& operator=(const WindowCreationRefusal&) = delete;

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND && refused_) {
            char name[32] = {};
            GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
            if (lstrcmpA(name, refused_) == 0) {
                return 1;
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline const char* refused_ = nullptr;
    HHOOK hook_;
};
