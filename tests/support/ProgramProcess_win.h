// The real program, clipwren.exe, run in its own process from a test: started in a folder, its
// main window found, ended as the window manager or Task Manager would end it. Also a test's own
// helper process, the other program of a test.
#pragma once

#include <windows.h>

#include <string>

// clipwren.exe, built beside the test programs.
std::string ProgramPath();

class ProgramProcess {
public:
    ProgramProcess() = default;
    // A process still running at the end is terminated.
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // Starts the program with folder as its current directory; startError() tells why not.
    bool Start(const std::string& folder);
    DWORD startError() const { return startError_; }
    // Starts this test program again for the one test named (disabled tests included), as the
    // other program of a test; its own report goes nowhere.
    bool StartThisTestAlone(const std::string& testName);
    // The main window once its creation has finished (it is shown then); null after timeoutMs or
    // when the process ends first.
    HWND WaitForMainWindow(DWORD timeoutMs) const;
    // The exit code once the process has ended within timeoutMs; STILL_ACTIVE when it has not.
    DWORD WaitForExit(DWORD timeoutMs) const;
    // Ends the process at once, as TerminateProcess does (Task Manager, a crash), and waits for it.
    void Kill();

    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }

private:
    void Close();
    PROCESS_INFORMATION info_ = {};
    DWORD startError_ = 0;
};

// A top-level window of the process with this class and caption; null when there is none.
HWND FindProcessWindow(DWORD processId, const char* className, const char* caption);

// Sends with a deadline, so that a hung program fails the test instead of hanging it.
bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs,
                DWORD_PTR* result = nullptr);
