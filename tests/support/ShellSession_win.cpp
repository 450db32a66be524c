// In-process shell sessions and temporary folders for the Windows tests.
#include "support/ShellSession_win.h"

#include <cstdio>

#include "app/Shell_win.h"
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

TempFolder::TempFolder() {
    static int serial = 0;
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    char name[MAX_PATH + 64];
    // Bounded: a temporary directory that refuses new folders must fail the test, not hang it.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::snprintf(name, sizeof name, "%scwshell-%lu-%d", base, GetCurrentProcessId(), ++serial);
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
    }
}

TempFolder::~TempFolder() {
    // Without a folder, File("*") would name the drive's root.
    if (path_.empty()) {
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(File("*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                const std::string file = File(found.cFileName);
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

ShellSession::ShellSession() {
    GetCurrentDirectoryA(sizeof previousDirectory_, previousDirectory_);
    SetCurrentDirectoryA(folder_.path().c_str());
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
    SetCurrentDirectoryA(previousDirectory_);
}

std::string ReadWholeFile(const std::string& path) {
    std::string text;
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return text;
    }
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    CloseHandle(file);
    return text;
}
