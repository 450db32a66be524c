// One program per folder, with the real program in processes of its own: a second copy in the
// same folder, however the folder is spelled, brings the first to the front and ends with 0
// without writing anything; a copy in another folder runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/ClipboardAccess_win.h"
#include "support/ProgramProcess_win.h"
#include "support/ScratchFolder_win.h"
#include "support/StoreBuilder.h"

namespace {

// Every file of the folder with its bytes and last-write time.
std::vector<std::string> Snapshot(const TempFolder& folder) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder.File("*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return files;
    }
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            files.push_back(name + " " + std::to_string(found.ftLastWriteTime.dwLowDateTime) + " " +
                            ReadWholeFile(folder.File(found.cFileName)));
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

bool WaitUntil(bool (*done)(HWND), HWND window, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done(window)) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

bool Restored(HWND window) {
    return !IsIconic(window);
}

bool Minimised(HWND window) {
    return IsIconic(window) != FALSE;
}

bool InFront(HWND window) {
    return GetForegroundWindow() == window;
}

} // namespace

TEST(SingleInstance, ASecondCopyInTheSameFolderBringsTheFirstToTheFrontAndEnds) {
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder.File("CWHistry.txt"), WorkedExample(), FILE_ATTRIBUTE_HIDDEN));
    // An address left on the clipboard by an earlier test would be the first copy's capture, and
    // its save would change the folder while the second copies run.
    ASSERT_TRUE(PutClipboard(nullptr));
    ProgramProcess first;
    ASSERT_TRUE(first.Start(folder.path()));
    HWND main = first.WaitForMainWindow(30000);
    ASSERT_NE(main, nullptr);

    // The same folder by other paths: its 8.3 name, and other letter case through its parent.
    char shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameA(folder.path().c_str(), shortPath, sizeof shortPath), 0u);
    ASSERT_NE(std::string(shortPath), folder.path());
    std::string upper = folder.path();
    CharUpperA(&upper[0]);
    const std::string leaf = upper.substr(upper.find_last_of('\\') + 1);
    const std::string throughParent = upper + "\\..\\" + leaf;

    const std::vector<std::string> before = Snapshot(folder);
    for (const std::string& spelling : {folder.path(), std::string(shortPath), throughParent}) {
        SCOPED_TRACE(spelling);
        ShowWindowAsync(main, SW_MINIMIZE);
        ASSERT_TRUE(WaitUntil(Minimised, main, 10000));
        ProgramProcess second;
        ASSERT_TRUE(second.Start(spelling)) << "CreateProcessA error " << second.startError();
        EXPECT_EQ(second.WaitForExit(30000), 0u);
        EXPECT_TRUE(WaitUntil(Restored, main, 10000)) << "the first copy was not restored";
        EXPECT_TRUE(WaitUntil(InFront, main, 10000)) << "the first copy is not in front";
    }
    EXPECT_EQ(first.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(Snapshot(folder), before);

    // Another folder is another history: that copy runs.
    TempFolder other;
    ProgramProcess third;
    ASSERT_TRUE(third.Start(other.path()));
    HWND otherMain = third.WaitForMainWindow(30000);
    ASSERT_NE(otherMain, nullptr);
    EXPECT_NE(otherMain, main);
    PostMessageA(otherMain, WM_CLOSE, 0, 0);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(third.WaitForExit(30000), 0u);
    EXPECT_EQ(first.WaitForExit(30000), 0u);
}

// Two copies started together, while the one that claims the folder is still reading its history
// (held by another program, which keeps it 2 s in its start-up): the other waits for its window
// instead of running beside it.
TEST(SingleInstance, TwoCopiesStartedTogetherMakeOneRun) {
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder.File("CWHistry.txt"), WorkedExample(), FILE_ATTRIBUTE_HIDDEN));
    HeldFile holder(folder.File("CWHistry.txt"), 0);
    ASSERT_TRUE(holder.holding());
    ProgramProcess copies[2];
    ASSERT_TRUE(copies[0].Start(folder.path()));
    ASSERT_TRUE(copies[1].Start(folder.path()));
    int ended = -1;
    const DWORD start = GetTickCount();
    while (ended < 0 && GetTickCount() - start < 30000) {
        for (int i = 0; i < 2 && ended < 0; ++i) {
            if (copies[i].WaitForExit(0) != static_cast<DWORD>(STILL_ACTIVE)) {
                ended = i;
            }
        }
        Sleep(50);
    }
    holder.LetGo();
    ASSERT_GE(ended, 0) << "neither copy handed over";
    EXPECT_EQ(copies[ended].WaitForExit(0), 0u);
    ProgramProcess& running = copies[1 - ended];
    HWND main = running.WaitForMainWindow(30000);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(running.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(running.WaitForExit(30000), 0u);
}
