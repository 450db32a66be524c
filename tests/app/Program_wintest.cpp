// The real program from outside: its version record and icon, a run in a temporary folder that
// is closed as the window manager would close it, runs ended at random as Task Manager would end
// them, and a last save that fails.
#include <gtest/gtest.h>

#include "base/Cp932_win.h"

#include <windows.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/ids.h"
#include "history/HistoryCodec.h"
#include "support/ClipboardAccess_win.h"
#include "support/ProgramProcess_win.h"
#include "support/ShellSession_win.h"
#include "support/StoreBuilder.h"

namespace {

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
    EXPECT_EQ(VersionString(program, "CompanyName", nullptr), "Wren");
    EXPECT_EQ(fixed.dwFileVersionMS, MAKELONG(11, 2));

    HMODULE image = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    EXPECT_NE(FindResourceA(image, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
    FreeLibrary(image);
}

TEST(Program, RunsInItsFolderAndSavesWhenClosed) {
    TempFolder folder;
    ProgramProcess program;
    ASSERT_TRUE(program.Start(folder.path()));

    HWND window = program.WaitForMainWindow(30000);
    ASSERT_NE(window, nullptr) << "no main window within 30 s";
    RECT frame = {};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, 640);
    EXPECT_EQ(frame.bottom - frame.top, 240);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(30000), 0u);

    const DWORD attributes = GetFileAttributesA(folder.File("CWHistry.txt").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "no history file written";
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
}

namespace {

// Another program may hold the clipboard for a moment.
bool Copy(const std::string& text) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (PutClipboard(text.empty() ? nullptr : text.c_str())) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

void Press(HWND main, int button) {
    SendWithin(main, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(main, button)),
               30000);
}

// The text view as the user sees it after 表示更新 (new captures show at the next refresh).
std::string ShownText(HWND main) {
    Press(main, RefreshButton);
    HWND view = GetDlgItem(main, TextView);
    DWORD_PTR length = 0;
    SendWithin(view, WM_GETTEXTLENGTH, 0, 0, 30000, &length);
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendWithin(view, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), 30000, &copied);
    text.resize(copied);
    return text;
}

// Starts the program in folder with nothing on the clipboard, and shows URL+テキスト; null when no
// main window came.
HWND StartInTextMode(ProgramProcess& program, const TempFolder& folder) {
    if (!Copy("") || !program.Start(folder.path())) {
        return nullptr;
    }
    HWND main = program.WaitForMainWindow(30000);
    if (main) {
        Press(main, UrlTextButton);
    }
    return main;
}

// Copies text and waits until the text view shows it.
void CopyAndSee(HWND main, const std::string& text) {
    ASSERT_TRUE(Copy(text));
    const DWORD start = GetTickCount();
    while (ShownText(main).find(text) == std::string::npos) {
        ASSERT_LT(GetTickCount() - start, 30000u) << text << " was never captured";
        Sleep(50);
    }
}

std::set<std::string> ContentsOf(const std::string& bytes, int& complete) {
    std::vector<HistoryRecord> records(HistoryCapacity);
    const HistoryReadResult read = ReadHistoryRecords(bytes.data(), bytes.size(), records.data(), HistoryCapacity);
    complete = read.complete;
    std::set<std::string> contents;
    for (int i = 0; i < read.records; ++i) {
        contents.insert(std::string(records[i].content, records[i].contentLength));
    }
    return contents;
}

} // namespace

// The program ended at random moments during a stream of captures, as Task Manager or a crash
// ends it: after every end the file parses completely and holds every entry that was on the
// screen at least 2 s before, and everything an earlier end left in it.
TEST(Program, KilledAtRandomTheFileHoldsEveryEntryShownTwoSecondsBefore) {
    TempFolder folder;
    const unsigned seed = GetTickCount();
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    const std::string file = folder.File("CWHistry.txt");
    std::set<std::string> expected; // in the file after every end from now on
    int serial = 0;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ProgramProcess program;
        HWND main = StartInTextMode(program, folder);
        ASSERT_NE(main, nullptr);
        std::map<std::string, DWORD> shownAt;
        const int captures = 2 + static_cast<int>(random() % 4);
        for (int i = 0; i < captures; ++i) {
            const std::string text = "entry " + std::to_string(++serial) + " of the kill test";
            ASSERT_NO_FATAL_FAILURE(CopyAndSee(main, text));
            shownAt[text] = GetTickCount();
        }
        Sleep(random() % 3000);
        const DWORD killedAt = GetTickCount();
        program.Kill();

        for (const auto& shown : shownAt) {
            if (killedAt - shown.second >= 2000) {
                expected.insert(shown.first);
            }
        }
        const std::string bytes = ReadWholeFile(file);
        int complete = 0;
        const std::set<std::string> contents = ContentsOf(bytes, complete);
        EXPECT_EQ(complete, 1) << "a torn file:\n" << bytes;
        for (const std::string& text : expected) {
            EXPECT_EQ(contents.count(text), 1u) << text;
        }
        // What the file kept beyond that is kept from now on too.
        for (const auto& shown : shownAt) {
            if (contents.count(shown.first)) {
                expected.insert(shown.first);
            }
        }
    }
}

// Another program holds the file for the whole run: the last write fails, the run's history is
// kept byte for byte in the unsaved file, and once the main window has gone a box of its own
// says where.
TEST(Program, ASaveThatFailsAtTheEndIsKeptAndReportedAfterTheWindowHasGone) {
    TempFolder folder;
    const std::string file = folder.File("CWHistry.txt");
    ASSERT_TRUE(WriteWholeFile(file, WorkedExample(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(Copy(""));
    ProgramProcess program;
    ASSERT_TRUE(program.Start(folder.path()));
    HWND main = program.WaitForMainWindow(30000);
    ASSERT_NE(main, nullptr);
    HeldFile holder(file, FILE_SHARE_READ);
    ASSERT_TRUE(holder.holding());

    PostMessageA(main, WM_CLOSE, 0, 0);
    HWND box = nullptr;
    const DWORD start = GetTickCount();
    while (!(box = FindProcessWindow(program.id(), "#32770", "Clipwren")) && GetTickCount() - start < 30000 &&
           WaitForSingleObject(program.handle(), 50) == WAIT_TIMEOUT) {
    }
    ASSERT_NE(box, nullptr) << "no box";
    EXPECT_FALSE(IsWindow(main)) << "the box came before the main window was gone";
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    // Our text is Shift_JIS, the path is in the system's code page: each reaches the screen from its own.
    WCHAR text[2048] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 2048);
    const std::string unsaved = folder.File("CWHistry.unsaved.txt");
    EXPECT_EQ(std::wstring(text),
              WideFrom("履歴を保存できませんでした。次のファイルに残しました：\r\n") + WideFromSystem(unsaved.c_str()));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    EXPECT_EQ(program.WaitForExit(30000), 0u);
    holder.LetGo();
    EXPECT_EQ(ReadWholeFile(unsaved), WorkedExample());
    EXPECT_EQ(ReadWholeFile(file), WorkedExample());
}

// A session end the program outlives leaves it capturing and saving; one that closes the program
// (a Restart Manager close) ends it as a normal exit does, without a box.
TEST(Program, ASessionEndSavesAndOnlyAClosingOneEndsTheRun) {
    TempFolder folder;
    const std::string file = folder.File("CWHistry.txt");
    ProgramProcess program;
    HWND main = StartInTextMode(program, folder);
    ASSERT_NE(main, nullptr);
    ASSERT_NO_FATAL_FAILURE(CopyAndSee(main, "copied before the session end"));
    SendWithin(main, WM_ENDSESSION, TRUE, 0, 30000);
    EXPECT_NE(ReadWholeFile(file).find("copied before the session end"), std::string::npos);

    ASSERT_NO_FATAL_FAILURE(CopyAndSee(main, "copied after the session end"));
    const DWORD start = GetTickCount();
    while (ReadWholeFile(file).find("copied after the session end") == std::string::npos) {
        ASSERT_LT(GetTickCount() - start, 30000u) << "never saved";
        Sleep(50);
    }

    ASSERT_NO_FATAL_FAILURE(CopyAndSee(main, "copied before the program is closed"));
    PostMessageA(main, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_EQ(program.WaitForExit(30000), 0u);
    EXPECT_NE(ReadWholeFile(file).find("copied before the program is closed"), std::string::npos);
}
