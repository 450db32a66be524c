// In-process shell sessions for the Windows tests.
#include "support/ShellSession_win.h"

#include "base/AppResources_win.h"
#include "app/Startup_win.h"
#include "app/UiResources_win.h"

int PumpPendingMessages() {
    int quitCode = -1;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return quitCode;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        PumpPendingMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

ShellSession::ShellSession() : ShellSession([](const TempFolder&) {}) {}

ShellSession::ShellSession(const std::function<void(const TempFolder&)>& prepare) {
    prepare(scratch_.folder());
    CreateUiResources();
    RegisterWindowClasses();
    main_ = CreateMainWindow();
    PumpPendingMessages();
}

ShellSession::~ShellSession() {
    if (IsWindow(main_)) {
        DestroyWindow(main_);
    }
    PumpPendingMessages();
    AppResources().mainWindow = nullptr;
    UnregisterClassA("NORMAL0", GetModuleHandleA(nullptr));
    UnregisterClassA("NORMALDLG", GetModuleHandleA(nullptr));
}
