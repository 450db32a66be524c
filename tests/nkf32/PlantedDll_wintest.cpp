// A DLL planted in the current folder is not loaded once the DLL search is restricted, while the
// program's own folder and the system folder still are searched. The restriction is for good,
// so each case runs in a child: this test program started with the marker below, which loads
// the DLLs and reports by its exit code before any test runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "base/DllSearch_win.h"
#include "support/ShellSession_win.h"

namespace {

constexpr char ProbeMarker[] = "--dll-search-probe=";

// Exit code bits of a probe.
constexpr DWORD PlantedLoaded = 1;
constexpr DWORD BesideLoaded = 2;
constexpr DWORD SystemLoaded = 4;
constexpr DWORD RestrictionShift = 4;

std::string PlantedName(unsigned long token) {
    return "planted-" + std::to_string(token) + ".dll";
}

std::string BesideName(unsigned long token) {
    return "beside-" + std::to_string(token) + ".dll";
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1);
}

// "<mode>,<token>": restricts the search as the mode says, loads the DLLs by name and ends.
int ProbeIfAsked() {
    const char* marker = std::strstr(GetCommandLineA(), ProbeMarker);
    if (!marker) {
        return 0;
    }
    const char* mode = marker + sizeof ProbeMarker - 1;
    const char* comma = std::strchr(mode, ',');
    unsigned long token = comma ? std::strtoul(comma + 1, nullptr, 10) : 0;
    DllSearchRestriction restriction = DllSearchRestriction::None;
    if (std::strncmp(mode, "restrict,", 9) == 0) {
        restriction = RestrictDllSearch();
    } else if (std::strncmp(mode, "fallback,", 9) == 0) {
        restriction = RemoveCurrentFolderFromDllSearch();
    }
    DWORD code = static_cast<DWORD>(restriction) << RestrictionShift;
    code |= LoadLibraryA(PlantedName(token).c_str()) ? PlantedLoaded : 0;
    code |= LoadLibraryA(BesideName(token).c_str()) ? BesideLoaded : 0;
    code |= LoadLibraryA("version.dll") ? SystemLoaded : 0;
    ExitProcess(code);
}

const int probed = ProbeIfAsked();

// The probe's exit code, or ~0u when it could not be run to its end.
DWORD RunProbe(const char* mode, unsigned long token, const std::string& currentFolder) {
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string commandLine =
        "\"" + std::string(program) + "\" " + ProbeMarker + mode + "," + std::to_string(token);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, currentFolder.c_str(),
                        &startup, &process)) {
        return ~0u;
    }
    DWORD code = ~0u;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, ~0u);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

// A copy of a DLL that is deleted with the guard.
struct CopiedFile {
    std::string path;
    bool copied;
    CopiedFile(const std::string& from, std::string to)
        : path(std::move(to)), copied(CopyFileA(from.c_str(), path.c_str(), TRUE) != FALSE) {}
    ~CopiedFile() {
        if (copied) {
            DeleteFileA(path.c_str());
        }
    }
    CopiedFile(const CopiedFile&) = delete;
    CopiedFile& operator=(const CopiedFile&) = delete;
};

TEST(PlantedDll, OnlyTheCurrentFolderLeavesTheSearch) {
    ASSERT_EQ(probed, 0);
    const unsigned long token = GetCurrentProcessId();
    const std::string nkf = ProgramFolder() + "nkf32.dll";
    TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    CopiedFile planted(nkf, folder.File(PlantedName(token).c_str()));
    CopiedFile beside(nkf, ProgramFolder() + BesideName(token));
    ASSERT_TRUE(planted.copied);
    ASSERT_TRUE(beside.copied);

    const bool hasDefaultDirectories =
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories") != nullptr;
    // Wine takes SetDllDirectoryA("") for a reset and keeps searching the current folder; there
    // the narrower step is only checked not to hide the program's and the system's folders.
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    const DWORD all = PlantedLoaded | BesideLoaded | SystemLoaded;
    struct Case {
        const char* mode;
        DllSearchRestriction restriction;
        DWORD loaded;
        DWORD checked;
    };
    const Case cases[] = {
        // Unrestricted, the current folder is searched: the planted DLL is found there.
        {"none", DllSearchRestriction::None, all, all},
        {"restrict",
         hasDefaultDirectories ? DllSearchRestriction::DefaultDirectories
                               : DllSearchRestriction::NoCurrentFolder,
         BesideLoaded | SystemLoaded, all},
        {"fallback", DllSearchRestriction::NoCurrentFolder, BesideLoaded | SystemLoaded,
         wine ? BesideLoaded | SystemLoaded : all},
    };
    for (const Case& c : cases) {
        const DWORD code = RunProbe(c.mode, token, folder.path());
        ASSERT_NE(code, ~0u) << c.mode;
        EXPECT_EQ(code >> RestrictionShift, static_cast<DWORD>(c.restriction)) << c.mode;
        EXPECT_EQ(code & c.checked, c.loaded) << c.mode;
    }
}

} // namespace
