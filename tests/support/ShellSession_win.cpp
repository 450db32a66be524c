// In-process shell sessions for the Windows tests.
#include "support/ShellSession_win.h"

#include "base/Shell_win.h"
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

ShellSession::ShellSession() {
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
    Shell().mainWindow = nullptr;
    UnregisterClassA("NORMAL0", GetModuleHandleA(nullptr));
    UnregisterClassA("NORMALDLG", GetModuleHandleA(nullptr));
}
