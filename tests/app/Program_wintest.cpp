// The real program from outside: its version record and icon, and one run in a temporary
// folder that is closed as the window manager would close it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/ShellSession_win.h"

namespace {

// clipwren.exe is built beside the test programs.
std::string ProgramPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1) + "clipwren.exe";
}

// The process's main window once its creation has finished (it is shown then); null after
// timeoutMs or when the process ends first.
HWND WaitForMainWindow(DWORD processId, HANDLE process, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, "NORMAL0", "Clipwren")) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId && IsWindowVisible(window)) {
                return window;
            }
        }
        if (WaitForSingleObject(process, 100) == WAIT_OBJECT_0) {
            return nullptr;
        }
    }
    return nullptr;
}

struct ProcessHandles {
    PROCESS_INFORMATION info = {};
    ~ProcessHandles() {
        if (info.hProcess) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 99);
                WaitForSingleObject(info.hProcess, 10000);
            }
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
};

// VERSION.DLL is loaded by name so that the test programs need no extra import library.
std::string VersionString(const std::string& file, const char* name, VS_FIXEDFILEINFO* fixed) {
    HMODULE version = LoadLibraryA("version.dll");
    if (!version) {
        return "";
    }
    using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    auto entry = [version](const char* symbol) { return reinterpret_cast<void*>(GetProcAddress(version, symbol)); };
    auto size = reinterpret_cast<SizeFn>(entry("GetFileVersionInfoSizeA"));
    auto info = reinterpret_cast<InfoFn>(entry("GetFileVersionInfoA"));
    auto query = reinterpret_cast<QueryFn>(entry("VerQueryValueA"));
    std::string result;
    DWORD handle = 0;
    const DWORD bytes = size(file.c_str(), &handle);
    std::string block(bytes, '\0');
    if (bytes && info(file.c_str(), 0, bytes, &block[0])) {
        void* value = nullptr;
        UINT length = 0;
        const std::string key = std::string("\\StringFileInfo\\041103a4\\") + name;
        if (query(block.data(), key.c_str(), &value, &length) && value) {
            result = static_cast<const char*>(value);
        }
        if (fixed && query(block.data(), "\\", &value, &length) && length >= sizeof *fixed) {
            *fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
        }
    }
    FreeLibrary(version);
    return result;
}

} // namespace

TEST(Program, CarriesItsVersionRecordAndIcon) {
    const std::string program = ProgramPath();
    VS_FIXEDFILEINFO fixed = {};
    EXPECT_EQ(VersionString(program, "ProductName", &fixed), "Clip Wren");
    EXPECT_EQ(VersionString(program, "ProductVersion", nullptr), "2.11");
    EXPECT_EQ(VersionString(program, "CompanyName", nullptr), "Clipwren");
    EXPECT_EQ(fixed.dwFileVersionMS, MAKELONG(11, 2));

    HMODULE image = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    EXPECT_NE(FindResourceA(image, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
    FreeLibrary(image);
}

TEST(Program, RunsInItsFolderAndSavesWhenClosed) {
    TempFolder folder;
    std::string commandLine = "\"" + ProgramPath() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    ProcessHandles process;
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               folder.path().c_str(), &startup, &process.info));

    HWND window = WaitForMainWindow(process.info.dwProcessId, process.info.hProcess, 30000);
    ASSERT_NE(window, nullptr) << "no main window within 30 s";
    RECT frame = {};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, 640);
    EXPECT_EQ(frame.bottom - frame.top, 240);

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.info.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    GetExitCodeProcess(process.info.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);

    const DWORD attributes = GetFileAttributesA(folder.File("CWHistry.txt").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "no history file written";
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
}
