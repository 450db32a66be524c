// Shared pieces of clipwren_driver.exe, which drives and reads the running program from outside.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// Control and command identifiers as the program publishes them.
constexpr int TextViewId = 1000;
constexpr int RefreshButtonId = 1001;
constexpr int UrlTitleButtonId = 1003;
constexpr int ListDisplayCheckId = 1005;
constexpr int EntryListId = 1006;
constexpr int VersionOkId = 1007;
constexpr int ExitCommandId = 1013;
constexpr int DeleteAllCommandId = 1014;
constexpr int VersionInfoCommandId = 1015;

// Memory in another process, released when the guard goes.
struct RemoteBlock {
    HANDLE process;
    void* at;
    RemoteBlock(HANDLE p, size_t size)
        : process(p), at(VirtualAllocEx(p, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (at) {
            VirtualFreeEx(process, at, 0, MEM_RELEASE);
        }
    }
    // Leaves the block in the program for good: a message that points to it may still be handled
    // after the driver has stopped waiting, and must then read what was written, not freed memory.
    void Leave() { at = nullptr; }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
};

struct HandleGuard {
    HANDLE handle;
    explicit HandleGuard(HANDLE h) : handle(h) {}
    ~HandleGuard() {
        if (handle) {
            CloseHandle(handle);
        }
    }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;
};

// The running program as the driver sees it.
struct Target {
    HWND main;
    DWORD processId;
    DWORD threadId;
};

double NowMs();
void Print(const std::string& text);
// Program text (code page 932) as one line of UTF-8 with \r, \n, \t and \\ escaped.
std::string Escaped(const std::string& cp932);
// A text read from the program's controls (UTF-16) as Shift_JIS, the program's code page.
std::string ShiftJisOf(const WCHAR* text);

// Waits at most timeoutMs for the main window; false when it did not appear.
bool FindTarget(Target& target, DWORD timeoutMs);
// Sends with a deadline, so a hung program fails the command instead of the driver.
bool SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs,
                 DWORD_PTR* result = nullptr);
bool ControlText(HWND control, std::string& text);
// Top-level visible window of the target's thread with this class (and title, when given).
HWND FindThreadWindow(const Target& target, const char* className, const char* title);
HWND WaitThreadWindow(const Target& target, const char* className, const char* title, DWORD timeoutMs);
bool WaitWindowGone(HWND window, DWORD timeoutMs);
// A visible top-level window of the process: of this class, or when className is null any window
// without an owner.
HWND FindProcessWindow(DWORD processId, const char* className);
// Starts exe with folder as its current directory.
bool StartIn(const std::string& exe, const std::string& folder, PROCESS_INFORMATION& info);

// Puts text on the clipboard as CF_TEXT; with emptyOnly, leaves it empty instead.
bool WriteClipboard(const std::string& text, bool emptyOnly = false);
bool ReadClipboard(std::string& text);
// Which step of the last failed clipboard write failed, and with what error.
std::string ClipboardFailure();

// Benchmarks and the soak (driver_bench_win.cpp). Each returns the process exit code.
int RunStartupBench(const std::vector<std::string>& args);
int RunTickCost(const std::vector<std::string>& args);
int RunProbe(const std::vector<std::string>& args);
int RunCaptureTime(const std::vector<std::string>& args);
int RunSoak(const std::vector<std::string>& args);
int RunResources(const std::vector<std::string>& args);

// The durability figures (driver_durability_win.cpp).
int RunKillTest(const std::vector<std::string>& args);
int RunWriteFullHistory(const std::vector<std::string>& args);
int RunSaveProbe(const std::vector<std::string>& args);
// Whether the program has the DLL NAME loaded: prints "loaded" or "not loaded".
int RunModuleQuery(const std::vector<std::string>& args);
