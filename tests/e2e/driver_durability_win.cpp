// The durability figures of clipwren_driver.exe: the kill test (the program ended at random while
// captures stream in, its file checked after every end) and the window's responsiveness while
// the full history is written again and again.
#include "driver_win.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "history/HistoryCodec.h"
#include "history/HistoryStore.h"

namespace {

constexpr int UrlTextButtonId = 1004;

std::string Fixed(double value, int decimals) {
    char text[64];
    snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A 1020-byte text entry of the full history: ASCII, so that a copy of it reads back equal.
std::string ProbeContent(int n) {
    char head[32];
    snprintf(head, sizeof head, "save probe %03d ", n);
    std::string text = head;
    text.resize(1020, 'x');
    return text;
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    HANDLE opened = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    HandleGuard file(opened);
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.handle, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    return bytes;
}

struct Started {
    PROCESS_INFORMATION info;
    HWND main;
};

bool StartProgram(const std::string& exe, const std::string& folder, Started& started) {
    started = {};
    if (!StartIn(exe, folder, started.info)) {
        return false;
    }
    const double deadline = NowMs() + 30000;
    while (NowMs() < deadline) {
        const HWND main = FindProcessWindow(started.info.dwProcessId, "NORMAL0");
        if (main && SendBounded(main, WM_NULL, 0, 0, 5000)) {
            started.main = main;
            return true;
        }
        Sleep(20);
    }
    return false;
}

void EndProcess(Started& started, bool kill) {
    if (kill) {
        TerminateProcess(started.info.hProcess, 9);
    }
    WaitForSingleObject(started.info.hProcess, 30000);
    CloseHandle(started.info.hProcess);
    CloseHandle(started.info.hThread);
}

// The text view after 表示更新, as the user would see it.
bool Shows(HWND main, const std::string& text) {
    SendBounded(GetDlgItem(main, RefreshButtonId), BM_CLICK, 0, 0, 30000);
    std::string shown;
    return ControlText(GetDlgItem(main, TextViewId), shown) && shown.find(text) != std::string::npos;
}

} // namespace

// The history files a kill test reads after every end: CWHistry.txt and, where the saves fail,
// every unsaved file beside it and in the local application data.
std::vector<std::string> HistoryFilesAfterKill(const std::string& folder, bool withUnsaved) {
    std::vector<std::string> files = {folder + "\\CWHistry.txt"};
    if (!withUnsaved) {
        return files;
    }
    char localAppData[MAX_PATH] = {};
    GetEnvironmentVariableA("LOCALAPPDATA", localAppData, MAX_PATH);
    for (const std::string& dir : {folder, std::string(localAppData) + "\\Clipwren"}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dir + "\\CWHistry.unsaved*.txt").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            continue;
        }
        do {
            files.push_back(dir + "\\" + found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return files;
}

int RunKillTest(const std::vector<std::string>& args) {
    if (args.size() < 4) {
        Print("usage: killtest PROGRAM FOLDER KILLS [SEED [unsaved]]\n");
        return 2;
    }
    const std::string exe = args[1];
    const std::string folder = args[2];
    const int kills = std::max(1, atoi(args[3].c_str()));
    const unsigned seed = args.size() > 4 && args[4] != "0" ? static_cast<unsigned>(atol(args[4].c_str())) : GetTickCount();
    // "unsaved": the folder refuses the history (a full disk), so the entries are looked for in
    // the unsaved files too.
    const bool withUnsaved = args.size() > 5 && args[5] == "unsaved";
    std::mt19937 random(seed);

    std::map<std::string, int> shownSerial; // every entry that was on the screen, with its number
    std::set<std::string> expected;         // must be in the file after every end from now on
    int serial = 0;
    int lost = 0;
    int torn = 0;
    int duringWrite = 0;
    int checked = 0;
    const double start = NowMs();
    for (int round = 0; round < kills; ++round) {
        WriteClipboard(std::string(), true);
        Started program;
        if (!StartProgram(exe, folder, program)) {
            Print("killtest: the program did not start in round " + std::to_string(round) + "\n");
            return 1;
        }
        // The program writes through a temporary file named by its process id.
        const std::string temp = folder + "\\CWHistry." + std::to_string(program.info.dwProcessId) + ".tmp";
        SendBounded(GetDlgItem(program.main, UrlTextButtonId), BM_CLICK, 0, 0, 30000);
        // Captures stream in until a random moment, between 1 and 6 s into the run.
        const double killAt = NowMs() + 1000 + static_cast<double>(random() % 5000);
        std::map<std::string, double> shownAt;
        while (NowMs() < killAt) {
            const std::string text = "kill test " + std::to_string(seed) + " entry " + std::to_string(++serial);
            WriteClipboard(text);
            while (NowMs() < killAt) {
                if (Shows(program.main, text)) {
                    shownAt[text] = NowMs();
                    shownSerial[text] = serial;
                    break;
                }
                Sleep(20);
            }
        }
        // Every other end is aimed at a write: one more capture, and the kill as soon as the
        // temporary file appears (a write lasts a few milliseconds, which random moments rarely hit).
        if (round % 2) {
            const std::string text = "kill test " + std::to_string(seed) + " entry " + std::to_string(++serial);
            WriteClipboard(text);
            const double giveUp = NowMs() + 3000;
            while (GetFileAttributesA(temp.c_str()) == INVALID_FILE_ATTRIBUTES && NowMs() < giveUp) {
            }
        }
        const double killedAt = NowMs();
        EndProcess(program, true);
        duringWrite += GetFileAttributesA(temp.c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;

        for (const auto& shown : shownAt) {
            if (killedAt - shown.second >= 2000) {
                expected.insert(shown.first);
            }
        }
        std::set<std::string> contents;
        int records = 0;
        for (const std::string& file : HistoryFilesAfterKill(folder, withUnsaved)) {
            const std::string bytes = ReadFileBytes(file);
            std::vector<HistoryRecord> read(HistoryCapacity);
            const HistoryReadResult result = ReadHistoryRecords(bytes.data(), bytes.size(), read.data(), HistoryCapacity);
            for (int i = 0; i < result.records; ++i) {
                contents.insert(std::string(read[i].content, read[i].contentLength));
            }
            records += result.records;
            if (!result.complete) {
                ++torn;
                Print("killtest: round " + std::to_string(round) + ": " + file + " does not parse completely (" +
                      std::to_string(bytes.size()) + " bytes)\n");
            }
        }
        if (!expected.empty() && records == 0) {
            ++torn;
            Print("killtest: round " + std::to_string(round) + ": no history file holds an entry\n");
        }
        // An entry with 127 or more texts copied after it may have left the history by right:
        // each of them may have been captured, seen on the screen or not.
        for (const auto& shown : shownSerial) {
            const std::string& text = shown.first;
            if (serial - shown.second >= MaxLiveEntries || !expected.count(text)) {
                continue;
            }
            ++checked;
            if (!contents.count(text)) {
                ++lost;
                Print("killtest: round " + std::to_string(round) + ": lost \"" + text + "\"\n");
            }
        }
        for (const auto& shown : shownAt) {
            if (contents.count(shown.first)) {
                expected.insert(shown.first);
            }
        }
    }
    Print("killtest: " + std::to_string(kills) + " kills (seed " + std::to_string(seed) + ") in " +
          Fixed((NowMs() - start) / 1000, 0) + " s, " + std::to_string(shownSerial.size()) +
          " entries shown; after each kill " + (withUnsaved ? "the history and unsaved files were" : "the file was") +
          " checked for every entry shown at least 2 s before it or "
          "kept by an earlier run (" +
          std::to_string(checked) + " checks): " + std::to_string(lost) + " lost, " + std::to_string(torn) +
          " torn or empty files; " + std::to_string(duringWrite) +
          " kills (half of them aimed at a write) left a temporary file behind, so they came during a write\n");
    return lost == 0 && torn == 0 ? 0 : 1;
}

int RunWriteFullHistory(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        Print("usage: fullhistory PATH\n");
        return 2;
    }
    static HistoryStore store;
    InitEmptyStore(store);
    for (int i = MaxLiveEntries - 1; i >= 0; --i) {
        const std::string content = ProbeContent(i);
        const std::string title = std::to_string(content.size()) + " Byte";
        InsertAtTop(store, content.c_str(), EntryKind::Text, title.c_str());
    }
    HistoryText text;
    if (!EncodeStore(store, text)) {
        return 1;
    }
    ReleaseStoreStrings(store);
    HANDLE created = CreateFileA(args[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (created == INVALID_HANDLE_VALUE) {
        return 1;
    }
    HandleGuard file(created);
    DWORD written = 0;
    return WriteFile(file.handle, text.data, static_cast<DWORD>(text.size), &written, nullptr) && written == text.size
               ? 0
               : 1;
}

namespace {

// Copies the entries of the full history to the clipboard one after another, oldest first, so
// that every copy promotes an entry: a change, and a write of the whole history, each time.
struct Promoter {
    volatile LONG stop;
    DWORD intervalMs;
    int copies;
};

DWORD WINAPI PromoteEntries(void* parameter) {
    Promoter& promoter = *static_cast<Promoter*>(parameter);
    for (int n = 0; !InterlockedCompareExchange(&promoter.stop, 0, 0); ++n) {
        // The oldest entry is the one promoted the longest ago.
        WriteClipboard(ProbeContent(n % MaxLiveEntries));
        ++promoter.copies;
        Sleep(promoter.intervalMs);
    }
    return 0;
}

} // namespace

int RunSaveProbe(const std::vector<std::string>& args) {
    Target target = {};
    if (args.size() < 3 || !FindTarget(target, 10000)) {
        Print("usage: saveprobe MS HISTORY-FILE (with the program running on a full history, URL+text mode)\n");
        return 2;
    }
    const double span = atof(args[1].c_str());
    const std::string file = args[2];
    Promoter promoter = {0, 250, 0};
    HandleGuard thread(CreateThread(nullptr, 0, PromoteEntries, &promoter, 0, nullptr));
    std::set<std::pair<DWORD, DWORD>> writes;
    const double start = NowMs();
    double last = start;
    double longest = 0;
    int probes = 0;
    while (NowMs() - start < span) {
        if (!SendBounded(target.main, WM_NULL, 0, 0, 60000)) {
            Print("saveprobe: no answer within 60 s\n");
            return 1;
        }
        const double now = NowMs();
        longest = std::max(longest, now - last);
        last = now;
        ++probes;
        WIN32_FILE_ATTRIBUTE_DATA info;
        if (GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &info)) {
            writes.insert({info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime});
        }
        Sleep(5);
    }
    InterlockedExchange(&promoter.stop, 1);
    WaitForSingleObject(thread.handle, 10000);
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &info);
    Print("longest unresponsive stretch " + Fixed(longest, 0) + " ms over " + Fixed(span, 0) + " ms (" +
          std::to_string(probes) + " probes), while " + std::to_string(promoter.copies) +
          " copies promoted entries and the " + std::to_string(info.nFileSizeLow) + "-byte history was written " +
          std::to_string(writes.size() - (writes.empty() ? 0 : 1)) + " times\n");
    return 0;
}
