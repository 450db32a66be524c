// Whole-program figures for clipwren_driver.exe: start-up against an empty window, tick cost,
// responsiveness during a capture, capture-to-title time, and the soak with its resource counts.
#include "driver_win.h"

#include <ctype.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <cstddef>

namespace {

constexpr UINT CaptureTimerId = 24;

// A figure with the given number of decimals.
std::string Fixed(double value, int decimals) {
    char text[64];
    snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Starts exe in folder and returns the milliseconds until a top-level window of it is visible and
// answers a message, then closes that window. Negative on failure.
double TimeToWindow(const std::string& exe, const std::string& folder) {
    PROCESS_INFORMATION info = {};
    double start = NowMs();
    if (!StartIn(exe, folder, info)) {
        return -1;
    }
    HandleGuard process(info.hProcess);
    HandleGuard thread(info.hThread);
    double elapsed = -1;
    double deadline = start + 20000;
    while (NowMs() < deadline) {
        HWND window = FindProcessWindow(info.dwProcessId, nullptr);
        if (window && SendBounded(window, WM_NULL, 0, 0, 5000)) {
            elapsed = NowMs() - start;
            PostMessageA(window, WM_CLOSE, 0, 0);
            break;
        }
        Sleep(1);
    }
    if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(info.hProcess, 1);
        return -1;
    }
    return elapsed;
}

struct Resources {
    DWORD handles;
    DWORD gdi;
    DWORD user;
    SIZE_T privateBytes;
};

// One row of the system handle table (SystemHandleInformation, class 16).
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

// Handles of one process counted in the system's handle table: Wine answers GetProcessHandleCount
// with 0, but lists every handle there.
DWORD CountHandlesInSystemTable(DWORD processId) {
    using QueryFunction = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) {
        return 0;
    }
    std::vector<char> buffer(1 << 20);
    for (int attempt = 0; attempt < 4; ++attempt) {
        ULONG needed = 0;
        LONG status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
            // The entries start at the pointer-aligned offset after the count.
            auto* entries = reinterpret_cast<SystemHandleEntry*>(buffer.data() + sizeof(void*));
            DWORD mine = 0;
            for (ULONG i = 0; i < count; ++i) {
                mine += entries[i].ownerPid == processId ? 1 : 0;
            }
            return mine;
        }
        buffer.resize(buffer.size() * 4);
    }
    return 0;
}

bool ReadResources(HANDLE process, Resources& out) {
    out = {};
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        return false;
    }
    if (!GetProcessHandleCount(process, &out.handles) || out.handles == 0) {
        out.handles = CountHandlesInSystemTable(GetProcessId(process));
    }
    out.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    out.user = GetGuiResources(process, GR_USEROBJECTS);
    // Wine leaves PrivateUsage at 0; the commit charge (PagefileUsage) is the same figure on Windows.
    out.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    return true;
}

std::string Describe(const Resources& r) {
    std::string gui = r.gdi || r.user ? ", GDI " + std::to_string(r.gdi) + ", USER " + std::to_string(r.user)
                                      : ", GDI and USER objects not reported";
    return "handles " + std::to_string(r.handles) + gui + ", private " + std::to_string(r.privateBytes / 1024) + " KiB";
}

HANDLE OpenForQuery(const Target& target) {
    return OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE,
                       target.processId);
}

// One tick as the timer would deliver it; false when the program did not answer in time.
bool Tick(const Target& target) { return SendBounded(target.main, WM_TIMER, CaptureTimerId, 0, 30000); }

} // namespace

int RunStartupBench(const std::vector<std::string>& args) {
    if (args.size() != 5) {
        Print("usage: startup PROGRAM FLOOR-PROGRAM RUNS FOLDER\n");
        return 2;
    }
    int runs = std::max(1, atoi(args[3].c_str()));
    std::vector<double> program;
    std::vector<double> floor;
    for (int i = 0; i < runs; ++i) {
        // Alternate the order, so neither side always runs on a warmer cache.
        for (int side = 0; side < 2; ++side) {
            bool empty = (side + i) % 2 == 0;
            double ms = TimeToWindow(empty ? args[2] : args[1], args[4]);
            if (ms < 0) {
                Print("startup: " + args[empty ? 2 : 1] + " did not show a window\n");
                return 1;
            }
            (empty ? floor : program).push_back(ms);
        }
    }
    double a = Median(program);
    double b = Median(floor);
    Print("start to visible, answering window over " + std::to_string(runs) + " runs each (median, min):\n" +
          "  program        " + (Fixed(a, 1) + " ms") + ", " + Fixed(*std::min_element(program.begin(), program.end()), 1) + " ms\n" +
          "  floor          " + (Fixed(b, 1) + " ms") + ", " + Fixed(*std::min_element(floor.begin(), floor.end()), 1) + " ms\n" +
          "  ratio          " + (Fixed(b > 0 ? a / b : 0, 2) + "\n"));
    return 0;
}

int RunTickCost(const std::vector<std::string>& args) {
    Target target = {};
    if (!FindTarget(target, 10000)) {
        Print("tickcost: the program is not running\n");
        return 1;
    }
    int n = args.size() > 1 ? std::max(1, atoi(args[1].c_str())) : 2000;
    double start = NowMs();
    for (int i = 0; i < n; ++i) {
        SendBounded(target.main, WM_NULL, 0, 0, 5000);
    }
    double idle = (NowMs() - start) / n;
    start = NowMs();
    for (int i = 0; i < n; ++i) {
        if (!Tick(target)) {
            Print("tickcost: the program stopped answering\n");
            return 1;
        }
    }
    double tick = (NowMs() - start) / n;
    Print("round trip of an empty message " + (Fixed(idle * 1000, 1) + " us") + ", of a tick " +
          (Fixed(tick * 1000, 1) + " us") + "; one tick costs " + (Fixed((tick - idle) * 1000, 1) + " us\n"));
    return 0;
}

int RunProbe(const std::vector<std::string>& args) {
    Target target = {};
    if (args.size() < 2 || !FindTarget(target, 10000)) {
        Print("usage: probe MS [TEXT] (with the program running)\n");
        return 2;
    }
    double span = atof(args[1].c_str());
    if (args.size() > 2 && !WriteClipboard(args[2])) {
        Print("probe: cannot write the clipboard\n");
        return 1;
    }
    double start = NowMs();
    double last = start;
    double longest = 0;
    int probes = 0;
    while (NowMs() - start < span) {
        if (!SendBounded(target.main, WM_NULL, 0, 0, 60000)) {
            Print("probe: no answer within 60 s\n");
            return 1;
        }
        double now = NowMs();
        longest = std::max(longest, now - last);
        last = now;
        ++probes;
        Sleep(5);
    }
    Print("longest unresponsive stretch " + (Fixed(longest, 0) + " ms") + " over " + (Fixed(span, 0) + " ms") + " (" +
          std::to_string(probes) + " probes)\n");
    return 0;
}

// Whether the URL+title view shows url as the newest entry with a title other than the fallback.
bool TitleShown(const Target& target, const std::string& url) {
    static const std::string label = "[Web Page] - ";
    static const std::string fallback = label + "ページタイトル不明\r\n";
    std::string text;
    SendBounded(GetDlgItem(target.main, RefreshButtonId), BM_CLICK, 0, 0, 30000);
    ControlText(GetDlgItem(target.main, TextViewId), text);
    const size_t lineEnd = text.find("\r\n");
    return text.compare(0, label.size(), label) == 0 && lineEnd != std::string::npos &&
           text.compare(lineEnd + 2, url.size() + 2, url + "\r\n") == 0 && text.compare(0, fallback.size(), fallback) != 0;
}

// Copy to title visible: puts a new address on the clipboard, sends one tick, and refreshes the
// view once, d milliseconds after the tick began (or as soon as the tick has returned, if it took
// longer). d follows a staircase over the runs: 2 ms less after a refresh that showed the title,
// 2 ms more after one that did not, so the refreshes gather where the title has just arrived and
// no refresh that comes too early is counted. A refresh costs tens of milliseconds under Wine;
// refreshing back to back instead would measure mostly the refreshes.
int RunCaptureTime(const std::vector<std::string>& args) {
    Target target = {};
    if (args.size() < 3 || !FindTarget(target, 10000)) {
        Print("usage: capture URL-PREFIX RUNS (with the program running)\n");
        return 2;
    }
    int runs = std::max(1, atoi(args[2].c_str()));
    // URL+title: the newest entry's title is the view's first line.
    SendBounded(GetDlgItem(target.main, UrlTitleButtonId), BM_CLICK, 0, 0, 30000);
    std::vector<double> arrived;
    std::vector<double> visible;
    std::vector<double> ticks;
    double delay = 0;
    for (int i = 0; i < runs; ++i) {
        std::string url = args[1] + "c" + std::to_string(GetTickCount()) + "x" + std::to_string(i) + "/";
        if (!WriteClipboard(url)) {
            Print("capture: cannot write the clipboard\n");
            return 1;
        }
        const double start = NowMs();
        if (!Tick(target)) {
            Print("capture: the program stopped answering\n");
            return 1;
        }
        ticks.push_back(NowMs() - start);
        while (NowMs() - start < delay) {
            Sleep(0);
        }
        const double refreshAt = NowMs() - start;
        if (TitleShown(target, url)) {
            arrived.push_back(refreshAt);
            visible.push_back(NowMs() - start);
            delay = std::max(0.0, delay - 2);
            continue;
        }
        delay += 2;
        // The title must be in before the next page.
        while (!TitleShown(target, url)) {
            if (NowMs() - start > 30000) {
                Print("capture: no title within 30 s\n");
                return 1;
            }
            Sleep(5);
        }
    }
    if (arrived.empty()) {
        Print("capture: no refresh came late enough\n");
        return 1;
    }
    Print("copy to title visible after a refresh, median " + Fixed(Median(visible), 1) + " ms, max " +
          Fixed(*std::max_element(visible.begin(), visible.end()), 1) + " ms; the title was in the entry when the refresh began, median " +
          Fixed(Median(arrived), 1) + " ms (" + std::to_string(arrived.size()) + " of " + std::to_string(runs) +
          " pages); one tick, median " + Fixed(Median(ticks), 1) + " ms\n");
    return 0;
}

int RunResources(const std::vector<std::string>&) {
    Target target = {};
    if (!FindTarget(target, 10000)) {
        return 1;
    }
    HandleGuard process(OpenForQuery(target));
    Resources now;
    if (!process.handle || !ReadResources(process.handle, now)) {
        return 1;
    }
    Print(Describe(now) + "\n");
    return 0;
}

int RunModuleQuery(const std::vector<std::string>& args) {
    Target target = {};
    if (!FindTarget(target, 10000)) {
        return 1;
    }
    HandleGuard process(OpenForQuery(target));
    HMODULE modules[1024];
    DWORD bytes = 0;
    if (!process.handle || !EnumProcessModulesEx(process.handle, modules, sizeof modules, &bytes, LIST_MODULES_ALL)) {
        Print("module: cannot list the program's modules\n");
        return 1;
    }
    bool loaded = false;
    for (DWORD i = 0; i < bytes / sizeof modules[0] && i < 1024; ++i) {
        char name[MAX_PATH] = {};
        if (GetModuleBaseNameA(process.handle, modules[i], name, sizeof name) && lstrcmpiA(name, args[1].c_str()) == 0) {
            loaded = true;
        }
    }
    Print(loaded ? "loaded\n" : "not loaded\n");
    return 0;
}

namespace {

bool VersionRound(const Target& target, bool byOk) {
    PostMessageA(target.main, WM_COMMAND, MAKEWPARAM(VersionInfoCommandId, 0), 0);
    HWND dialog = WaitThreadWindow(target, "NORMALDLG", "DigVersionInfo", 5000);
    if (!dialog) {
        return false;
    }
    if (byOk) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(VersionOkId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, VersionOkId)));
    } else {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
    // The next round's command may follow at once: the closed window's loop ends with the
    // message that closed it.
    return WaitWindowGone(dialog, 5000) && SendBounded(target.main, WM_NULL, 0, 0, 5000);
}

bool MenuRound(const Target& target, HANDLE process, void* remoteNote, int row) {
    NMITEMACTIVATE note = {};
    note.hdr.hwndFrom = GetDlgItem(target.main, EntryListId);
    note.hdr.idFrom = EntryListId;
    note.hdr.code = NM_RCLICK;
    note.iItem = row;
    if (!WriteProcessMemory(process, remoteNote, &note, sizeof note, nullptr)) {
        return false;
    }
    PostMessageA(target.main, WM_NOTIFY, EntryListId, reinterpret_cast<LPARAM>(remoteNote));
    HWND menu = WaitThreadWindow(target, "#32768", nullptr, 5000);
    if (!menu) {
        return false;
    }
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    return WaitWindowGone(menu, 5000) && SendBounded(target.main, WM_NULL, 0, 0, 5000);
}

struct SoakPlan {
    int ticks;
    int rebuilds;
    int versions;
    int menus;
};

// The longest single operation of each kind, in milliseconds: a stall shows here.
struct SoakWorst {
    double tick;
    double rebuild;
    double version;
    double menu;
};

// Runs f and keeps its duration in worst when it is the longest so far; returns f's answer.
template <typename F> bool Timed(double& worst, F f) {
    double start = NowMs();
    bool ok = f();
    worst = std::max(worst, NowMs() - start);
    return ok;
}

std::string DescribeWorst(const SoakWorst& w) {
    return "longest tick " + Fixed(w.tick, 1) + " ms, list rebuild " + Fixed(w.rebuild, 1) + " ms, version window " +
           Fixed(w.version, 1) + " ms, context menu " + Fixed(w.menu, 1) + " ms";
}

bool SetListDisplay(const Target& target, bool on) {
    HWND check = GetDlgItem(target.main, ListDisplayCheckId);
    DWORD_PTR state = 0;
    if (!SendBounded(check, BM_GETCHECK, 0, 0, 30000, &state)) {
        return false;
    }
    return (state == BST_CHECKED) == on || SendBounded(check, BM_CLICK, 0, 0, 30000);
}

// Runs the plan; returns an empty string or what failed. Every fifth clipboard change is an
// address under one of urlPrefixes in turn (a closed loopback port, fetched and refused; slow
// servers, whose downloads are given up at their bound), fetched like any new URL.
std::string SoakRound(const Target& target, HANDLE process, const SoakPlan& plan, int seed,
                      const std::vector<std::string>& urlPrefixes, SoakWorst& worst) {
    HWND list = GetDlgItem(target.main, EntryListId);
    // URL+text mode takes every text, so the history turns over with plain texts and addresses.
    SetListDisplay(target, false);
    SendBounded(GetDlgItem(target.main, 1004), BM_CLICK, 0, 0, 30000);
    for (int i = 0; i < plan.ticks; ++i) {
        // The clipboard changes every tenth tick (a write costs several ticks' time under Wine):
        // mostly new texts, every seventh change an older one, which is promoted or left in
        // place, now and then a text cut at the capture limit.
        if (i % 10 == 0) {
            int change = i / 10;
            int n = change % 7 == 6 ? change - 40 : change;
            std::string text = "soak " + std::to_string(seed) + " text " + std::to_string(n);
            if (change % 5 == 0 && !urlPrefixes.empty()) {
                const std::string& prefix = urlPrefixes[(change / 5) % urlPrefixes.size()];
                text = prefix + std::to_string(seed) + "/" + std::to_string(n) + "/";
            } else if (change % 97 == 0) {
                text.append(1100, 'x');
            }
            if (!WriteClipboard(text)) {
                return "clipboard write " + std::to_string(i) + " (" + ClipboardFailure() + ")";
            }
        }
        double start = NowMs();
        if (!Timed(worst.tick, [&] { return Tick(target); })) {
            return "tick " + std::to_string(i) + " (error " + std::to_string(GetLastError()) + " after " +
                   Fixed(NowMs() - start, 0) + " ms)";
        }
    }
    // Rebuilds of the list of addresses, in the two modes that show them, and by 表示更新.
    if (!SetListDisplay(target, true)) {
        return "list display";
    }
    const int rebuildButtons[] = {1002, 1003, RefreshButtonId};
    for (int i = 0; i < plan.rebuilds; ++i) {
        HWND button = GetDlgItem(target.main, rebuildButtons[i % 3]);
        if (!Timed(worst.rebuild, [&] { return SendBounded(button, BM_CLICK, 0, 0, 30000); })) {
            return "rebuild " + std::to_string(i);
        }
    }
    RemoteBlock note(process, sizeof(NMITEMACTIVATE));
    DWORD_PTR rows = 0;
    SendBounded(list, LVM_GETITEMCOUNT, 0, 0, 5000, &rows);
    if (plan.menus > 0 && (!note.at || rows < 2)) {
        return "context menu: the list has " + std::to_string(rows) + " rows";
    }
    for (int i = 0; i < plan.menus; ++i) {
        if (!Timed(worst.menu, [&] { return MenuRound(target, process, note.at, i % 2 ? 0 : 1); })) {
            return "context menu " + std::to_string(i);
        }
    }
    // The version window over the text view: closing it reactivates the main window, which
    // rebuilds the visible view every time.
    SetListDisplay(target, false);
    for (int i = 0; i < plan.versions; ++i) {
        if (!Timed(worst.version, [&] { return VersionRound(target, i % 2 == 0); })) {
            return "version window " + std::to_string(i);
        }
    }
    return "";
}

} // namespace

// Downloads given up at their bound may keep their threads (and sockets) a few seconds longer;
// resources are read once they have ended.
void SettleDownloads(const Target& target) {
    const double start = NowMs();
    while (NowMs() - start < 15000) {
        SendBounded(target.main, WM_NULL, 0, 0, 5000);
        Sleep(100);
    }
}

int RunSoak(const std::vector<std::string>& args) {
    SoakPlan plan = {100000, 1000, 200, 500};
    size_t firstPrefix = 1;
    if (args.size() >= 5 && isdigit(static_cast<unsigned char>(args[1][0]))) {
        plan = {atoi(args[1].c_str()), atoi(args[2].c_str()), atoi(args[3].c_str()), atoi(args[4].c_str())};
        firstPrefix = 5;
    } else if (args.size() > 1 && isdigit(static_cast<unsigned char>(args[1][0]))) {
        Print("usage: soak [TICKS REBUILDS VERSIONS MENUS] [URL-PREFIX...]\n");
        return 2;
    }
    const std::vector<std::string> urlPrefixes(args.begin() + static_cast<std::ptrdiff_t>(firstPrefix), args.end());
    const bool slowServers = urlPrefixes.size() > 1;
    Target target = {};
    if (!FindTarget(target, 10000)) {
        Print("soak: the program is not running\n");
        return 1;
    }
    HandleGuard process(OpenForQuery(target));
    if (!process.handle) {
        Print("soak: cannot open the program's process\n");
        return 1;
    }
    // A short round first, so that what is created once per run (fonts, menus, caches) is counted
    // in the baseline, not as growth.
    SoakPlan warm = {std::min(plan.ticks, 1000), std::min(plan.rebuilds, 20), std::min(plan.versions, 5),
                     std::min(plan.menus, 5)};
    SoakWorst worst = {};
    std::string failed = SoakRound(target, process.handle, warm, 0, urlPrefixes, worst);
    if (slowServers) {
        SettleDownloads(target);
    }
    Resources before;
    if (!failed.empty() || !ReadResources(process.handle, before)) {
        Print("soak: warm-up failed at " + failed + "; " + DescribeWorst(worst) + "\n");
        return 1;
    }
    double start = NowMs();
    worst = {};
    failed = SoakRound(target, process.handle, plan, 1, urlPrefixes, worst);
    double seconds = (NowMs() - start) / 1000;
    if (slowServers) {
        SettleDownloads(target);
    }
    Resources after;
    if (!failed.empty() || !ReadResources(process.handle, after)) {
        Print("soak: failed at " + failed + "; " + DescribeWorst(worst) + "\n");
        return 1;
    }
    Print("soak: " + std::to_string(plan.ticks) + " ticks (clipboard changed every tenth: texts, and addresses of " +
          std::to_string(urlPrefixes.size()) + " servers in turn), " +
          std::to_string(plan.rebuilds) + " list rebuilds, " + std::to_string(plan.versions) +
          " version-window openings, " + std::to_string(plan.menus) + " context menus in " +
          (Fixed(seconds, 0) + " s\n") + "  before: " + Describe(before) + "\n  after:  " + Describe(after) + "\n  " + DescribeWorst(worst) + "\n");
    long long privateGrowth = static_cast<long long>(after.privateBytes) - static_cast<long long>(before.privateBytes);
    bool grew = after.handles > before.handles + 8 || after.gdi > before.gdi + 8 || after.user > before.user + 8 ||
                privateGrowth > 1024 * 1024;
    Print(grew ? "soak: GROWTH beyond the allowance (8 handles or objects, 1 MiB)\n" : "soak: no growth\n");
    return grew ? 1 : 0;
}
