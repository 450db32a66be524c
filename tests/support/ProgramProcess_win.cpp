// The real program in a process of its own.
#include "support/ProgramProcess_win.h"

std::string ProgramPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1) + "clipwren.exe";
}

ProgramProcess::~ProgramProcess() {
    Kill();
    Close();
}

bool ProgramProcess::Start(const std::string& folder) {
    Kill();
    Close();
    std::string commandLine = "\"" + ProgramPath() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    // Wine has been seen to refuse a start once on a busy machine, with a folder that works at
    // the next try; the tests are about the program, not about that.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                           &info_)) {
            return true;
        }
        startError_ = GetLastError();
        info_ = {};
        Sleep(200);
    }
    return false;
}

bool ProgramProcess::StartThisTestAlone(const std::string& testName) {
    Kill();
    Close();
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string commandLine =
        std::string("\"") + self + "\" --gtest_filter=" + testName + " --gtest_also_run_disabled_tests";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    const BOOL started =
        CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info_);
    if (nul != INVALID_HANDLE_VALUE) {
        CloseHandle(nul);
    }
    if (!started) {
        info_ = {};
    }
    return started != 0;
}

HWND ProgramProcess::WaitForMainWindow(DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    while (info_.hProcess && GetTickCount() - start < timeoutMs) {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, "NORMAL0", "Clipwren")) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == info_.dwProcessId && IsWindowVisible(window)) {
                return window;
            }
        }
        if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0) {
            return nullptr;
        }
    }
    return nullptr;
}

DWORD ProgramProcess::WaitForExit(DWORD timeoutMs) const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(info_.hProcess, &code);
    }
    return code;
}

void ProgramProcess::Kill() {
    if (info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 10000);
    }
}

void ProgramProcess::Close() {
    if (info_.hProcess) {
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    info_ = {};
}

namespace {
struct WindowQuery {
    DWORD processId;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    WindowQuery& query = *reinterpret_cast<WindowQuery*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    char caption[256] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (owner == query.processId && lstrcmpA(className, query.className) == 0 &&
        lstrcmpA(caption, query.caption) == 0) {
        query.found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND FindProcessWindow(DWORD processId, const char* className, const char* caption) {
    WindowQuery query = {processId, className, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs, DWORD_PTR* result) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, result ? result : &ignored) !=
           0;
}
