// clipwren_driver.exe: drives the running program from outside, as a user and other programs do,
// and prints what it reads. One command per run; exit code 0 on success, 1 on failure, 2 on misuse.
#include "driver_win.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <wincrypt.h>
#include <tlhelp32.h>

#include <fstream>
#include <iterator>

namespace {

constexpr DWORD SendTimeoutMs = 5000;
constexpr DWORD DefaultWaitMs = 10000;

// Arguments come in the ANSI code page; "\r", "\n", "\t", "\\" and "\xNN" let a caller write any byte.
std::string Unescaped(const std::string& in) {
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        // A trail byte may be 0x5C (予 is 97 5C): a double-byte character is never an escape.
        if (IsDBCSLeadByte(static_cast<BYTE>(in[i])) && i + 1 < in.size()) {
            out += in.substr(i++, 2);
            continue;
        }
        if (in[i] != '\\' || i + 1 == in.size()) {
            out += in[i];
            continue;
        }
        char c = in[++i];
        if (c == 'r') {
            out += '\r';
        } else if (c == 'n') {
            out += '\n';
        } else if (c == 't') {
            out += '\t';
        } else if (c == 'x' && i + 2 < in.size()) {
            out += static_cast<char>(strtol(in.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

int Fail(const std::string& why) {
    Print("driver: " + why + "\n");
    return 1;
}

DWORD WaitArg(const std::vector<std::string>& args, size_t index) {
    return index < args.size() ? static_cast<DWORD>(atol(args[index].c_str())) : DefaultWaitMs;
}

HWND Control(const Target& target, int id) { return GetDlgItem(target.main, id); }

// ---- list view, read and written in the program's own memory ------------------------------

bool ListCell(const Target& target, HANDLE process, int row, int column, std::string& text) {
    HWND list = Control(target, EntryListId);
    constexpr size_t TextRoom = 2048;
    // In UTF-16: the list would convert an A read in the program's code page, whatever it is.
    RemoteBlock block(process, sizeof(LVITEMW) + TextRoom * sizeof(WCHAR));
    if (!block.at) {
        return false;
    }
    WCHAR* remoteText = reinterpret_cast<WCHAR*>(static_cast<char*>(block.at) + sizeof(LVITEMW));
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = remoteText;
    item.cchTextMax = TextRoom;
    if (!WriteProcessMemory(process, block.at, &item, sizeof item, nullptr)) {
        return false;
    }
    DWORD_PTR length = 0;
    if (!SendBounded(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(block.at), SendTimeoutMs, &length)) {
        block.Leave();
        return false;
    }
    std::wstring buffer(TextRoom, L'\0');
    if (!ReadProcessMemory(process, remoteText, &buffer[0], TextRoom * sizeof(WCHAR), nullptr)) {
        return false;
    }
    text = ShiftJisOf(buffer.c_str());
    return true;
}

int ColumnCount(const Target& target) {
    HWND list = Control(target, EntryListId);
    DWORD_PTR header = 0;
    DWORD_PTR count = 0;
    if (!SendBounded(list, LVM_GETHEADER, 0, 0, SendTimeoutMs, &header) || !header ||
        !SendBounded(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, SendTimeoutMs, &count)) {
        return -1;
    }
    return static_cast<int>(count);
}

bool ColumnTitle(const Target& target, HANDLE process, int column, std::string& text) {
    constexpr size_t TextRoom = 256;
    RemoteBlock block(process, sizeof(LVCOLUMNW) + TextRoom * sizeof(WCHAR));
    if (!block.at) {
        return false;
    }
    WCHAR* remoteText = reinterpret_cast<WCHAR*>(static_cast<char*>(block.at) + sizeof(LVCOLUMNW));
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT | LVCF_WIDTH;
    info.pszText = remoteText;
    info.cchTextMax = TextRoom;
    DWORD_PTR ok = 0;
    if (!WriteProcessMemory(process, block.at, &info, sizeof info, nullptr)) {
        return false;
    }
    if (!SendBounded(Control(target, EntryListId), LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(block.at),
                     SendTimeoutMs, &ok)) {
        block.Leave();
        return false;
    }
    if (!ok) {
        return false;
    }
    std::wstring buffer(TextRoom, L'\0');
    if (!ReadProcessMemory(process, block.at, &info, sizeof info, nullptr) ||
        !ReadProcessMemory(process, remoteText, &buffer[0], TextRoom * sizeof(WCHAR), nullptr)) {
        return false;
    }
    text = ShiftJisOf(buffer.c_str());
    text += "(" + std::to_string(info.cx) + ")";
    return true;
}

HANDLE OpenTarget(const Target& target) {
    return OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION |
                           SYNCHRONIZE,
                       FALSE, target.processId);
}

// One reading of every row; false (with the reason) when the list does not answer.
bool ReadRows(const Target& target, HANDLE process, std::string& out, std::string& why) {
    out.clear();
    DWORD_PTR rows = 0;
    if (!SendBounded(Control(target, EntryListId), LVM_GETITEMCOUNT, 0, 0, SendTimeoutMs, &rows)) {
        why = "the list does not answer";
        return false;
    }
    int columns = ColumnCount(target);
    for (int row = 0; row < static_cast<int>(rows); ++row) {
        DWORD_PTR state = 0;
        SendBounded(Control(target, EntryListId), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK, SendTimeoutMs, &state);
        out += ((state >> 12) == 2) ? "[x]" : "[ ]";
        for (int column = 0; column < columns; ++column) {
            std::string cell;
            if (!ListCell(target, process, row, column, cell)) {
                why = "cannot read row " + std::to_string(row);
                return false;
            }
            out += "\t" + Escaped(cell);
        }
        out += "\n";
    }
    return true;
}

// The rows once two readings in a row agree (for at most about 3 s): a reading taken while the
// program rebuilds the list after an answer or a capture is not what the user sees.
int PrintRows(const Target& target) {
    HandleGuard process(OpenTarget(target));
    if (!process.handle) {
        return Fail("cannot open the program's process");
    }
    std::string previous, out, why;
    if (!ReadRows(target, process.handle, previous, why)) {
        return Fail(why);
    }
    for (int attempt = 0; attempt < 30; ++attempt) {
        Sleep(100);
        if (!ReadRows(target, process.handle, out, why)) {
            return Fail(why);
        }
        if (out == previous) {
            break;
        }
        previous = out;
    }
    Print(out);
    return 0;
}

int PrintColumns(const Target& target) {
    HandleGuard process(OpenTarget(target));
    int columns = ColumnCount(target);
    if (!process.handle || columns < 0) {
        return Fail("cannot read the list's columns");
    }
    std::string out;
    for (int column = 0; column < columns; ++column) {
        std::string title;
        if (!ColumnTitle(target, process.handle, column, title)) {
            return Fail("cannot read column " + std::to_string(column));
        }
        out += (column ? "\t" : "") + Escaped(title);
    }
    Print(out + "\n");
    return 0;
}

int SetCheck(const Target& target, int row, bool checked) {
    HandleGuard process(OpenTarget(target));
    RemoteBlock block(process.handle, sizeof(LVITEMA));
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    DWORD_PTR ok = 0;
    if (!block.at || !WriteProcessMemory(process.handle, block.at, &item, sizeof item, nullptr)) {
        return Fail("cannot set the check mark of row " + std::to_string(row));
    }
    if (!SendBounded(Control(target, EntryListId), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(block.at),
                     SendTimeoutMs, &ok)) {
        block.Leave();
        return Fail("the list does not answer the check mark of row " + std::to_string(row));
    }
    if (!ok) {
        return Fail("cannot set the check mark of row " + std::to_string(row));
    }
    return 0;
}

// A list notification as the list itself would send it; posted, since a right-click opens a
// menu that runs until it is answered. The record stays in the program until the handler has read
// it: the caller waits for the handler's visible effect before the block is released.
bool PostListNotification(const Target& target, HANDLE process, RemoteBlock& block, int row, UINT code) {
    HWND list = Control(target, EntryListId);
    NMITEMACTIVATE note = {};
    note.hdr.hwndFrom = list;
    note.hdr.idFrom = EntryListId;
    note.hdr.code = code;
    note.iItem = row;
    note.iSubItem = 0;
    note.ptAction.x = 8;
    note.ptAction.y = 8;
    if (!block.at || !WriteProcessMemory(process, block.at, &note, sizeof note, nullptr)) {
        return false;
    }
    return PostMessageA(target.main, WM_NOTIFY, EntryListId, reinterpret_cast<LPARAM>(block.at)) != 0;
}

int DoubleClickRow(const Target& target, int row) {
    HandleGuard process(OpenTarget(target));
    RemoteBlock block(process.handle, sizeof(NMITEMACTIVATE));
    if (!PostListNotification(target, process.handle, block, row, NM_DBLCLK)) {
        return Fail("cannot send the double-click");
    }
    // The handler has run once a message sent after it comes back. A busy clipboard can hold the
    // copy-back for several seconds under load, hence the longer bound.
    if (!SendBounded(target.main, WM_NULL, 0, 0, 4 * SendTimeoutMs)) {
        block.Leave();
        return Fail("the program does not answer after the double-click");
    }
    return 0;
}

// Right-clicks a row and picks the menu's item number pick (1-based) with the keyboard; 0 closes
// the menu unchosen. Prints "menu" or "no menu".
int ContextMenu(const Target& target, int row, int pick, DWORD timeoutMs) {
    HandleGuard process(OpenTarget(target));
    RemoteBlock block(process.handle, sizeof(NMITEMACTIVATE));
    if (!PostListNotification(target, process.handle, block, row, NM_RCLICK)) {
        return Fail("cannot send the right-click");
    }
    HWND menu = WaitThreadWindow(target, "#32768", nullptr, timeoutMs);
    if (!menu) {
        block.Leave();
        Print("no menu\n");
        return 0;
    }
    Print("menu\n");
    // The popup menu's loop reads keys from the thread's queue.
    auto key = [&](WPARAM vk) {
        PostMessageA(menu, WM_KEYDOWN, vk, 1);
        PostMessageA(menu, WM_KEYUP, vk, 0xC0000001);
    };
    if (pick <= 0) {
        key(VK_ESCAPE);
    } else {
        for (int i = 0; i < pick; ++i) {
            key(VK_DOWN);
        }
        key(VK_RETURN);
    }
    if (!WaitWindowGone(menu, timeoutMs)) {
        return Fail("the menu did not close");
    }
    return 0;
}

// ---- message boxes ---------------------------------------------------------------------------

std::string BoxText(HWND box) {
    std::string text;
    ControlText(GetDlgItem(box, 0xFFFF), text);
    if (text.empty()) {
        // Some implementations number the text control differently: take the first static with text.
        for (HWND child = GetWindow(box, GW_CHILD); child && text.empty(); child = GetWindow(child, GW_HWNDNEXT)) {
            char className[32] = {};
            GetClassNameA(child, className, sizeof className);
            if (lstrcmpiA(className, "Static") == 0) {
                ControlText(child, text);
            }
        }
    }
    return text;
}

int ButtonId(const std::string& name) {
    if (name == "yes") return IDYES;
    if (name == "no") return IDNO;
    if (name == "ok") return IDOK;
    if (name == "cancel") return IDCANCEL;
    return 0;
}

// Waits for a message box of the program, prints its caption and text, presses the button.
int AnswerBox(const Target& target, const std::string& button, DWORD timeoutMs) {
    HWND box = WaitThreadWindow(target, "#32770", nullptr, timeoutMs);
    if (!box) {
        return Fail("no message box appeared");
    }
    std::string caption;
    ControlText(box, caption);
    Print("caption: " + Escaped(caption) + "\ntext: " + Escaped(BoxText(box)) + "\n");
    if (GetWindow(box, GW_OWNER) != target.main) {
        Print("owner: not the main window\n");
    }
    int id = ButtonId(button);
    if (id == 0) {
        return 0;
    }
    HWND control = GetDlgItem(box, id);
    if (!control) {
        return Fail("the box has no button " + button);
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    if (!WaitWindowGone(box, timeoutMs)) {
        return Fail("the box did not close");
    }
    return 0;
}

// ---- version window -------------------------------------------------------------------------

int OpenVersion(const Target& target, DWORD timeoutMs) {
    PostMessageA(target.main, WM_COMMAND, MAKEWPARAM(VersionInfoCommandId, 0), 0);
    HWND dialog = WaitThreadWindow(target, "NORMALDLG", "DigVersionInfo", timeoutMs);
    if (!dialog) {
        return Fail("the version window did not open");
    }
    // The window exists, and is shown, before its owner is disabled, and Wine may answer a sent
    // message while the window is being shown: wait, bounded, for the owner to be disabled.
    const double deadline = NowMs() + timeoutMs;
    while (IsWindowEnabled(target.main) && NowMs() < deadline) {
        Sleep(10);
    }
    std::string out = "main enabled: " + std::to_string(IsWindowEnabled(target.main) ? 1 : 0) + "\n";
    for (int id = 1007; id <= 1012; ++id) {
        std::string text;
        HWND control = GetDlgItem(dialog, id);
        ControlText(control, text);
        char className[32] = {};
        GetClassNameA(control, className, sizeof className);
        out += std::to_string(id) + "\t" + className + "\t" + Escaped(text) + "\n";
    }
    Print(out);
    return 0;
}

int CloseVersion(const Target& target, const std::string& how, DWORD timeoutMs) {
    HWND dialog = FindThreadWindow(target, "NORMALDLG", "DigVersionInfo");
    if (!dialog) {
        return Fail("the version window is not open");
    }
    if (how == "ok") {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(VersionOkId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, VersionOkId)));
    } else {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
    if (!WaitWindowGone(dialog, timeoutMs)) {
        return Fail("the version window did not close");
    }
    // The owner is enabled again before the window goes; give the program a moment to settle.
    SendBounded(target.main, WM_NULL, 0, 0, SendTimeoutMs);
    Print("main enabled: " + std::to_string(IsWindowEnabled(target.main) ? 1 : 0) + "\n");
    return 0;
}

// Clicks the refresh button and reads a control until its text holds what is wanted.
int AwaitText(const Target& target, int id, const std::string& wanted, DWORD timeoutMs) {
    double deadline = NowMs() + timeoutMs;
    std::string text;
    for (;;) {
        SendBounded(Control(target, RefreshButtonId), BM_CLICK, 0, 0, SendTimeoutMs);
        ControlText(Control(target, id), text);
        if (text.find(wanted) != std::string::npos) {
            Print(Escaped(text) + "\n");
            return 0;
        }
        if (NowMs() > deadline) {
            Print(Escaped(text) + "\n");
            return Fail("timed out waiting for " + Escaped(wanted));
        }
        Sleep(150);
    }
}

// Adds the DER certificate in path to the user's root store (no dialog under Wine).
bool TrustRootCertificate(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string der((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (der.empty()) {
        return false;
    }
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, "Root");
    if (!store) {
        return false;
    }
    const BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                                        static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                                        nullptr);
    CertCloseStore(store, 0);
    return added != FALSE;
}

// Threads of the process, WinINet's own workers included; -1 when they cannot be listed.
int ThreadsOf(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == processId ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

int Usage() {
    Print("usage: clipwren_driver COMMAND [ARGS]\n"
          "  wait [ms]                 wait for the main window; prints its process id\n"
          "  click ID | command ID     BM_CLICK a control | post WM_COMMAND ID\n"
          "  text ID | state           a control's text | visibility, checks, enabled\n"
          "  await ID TEXT [ms]        press refresh until control ID shows TEXT\n"
          "  rows | columns            the list's rows (check mark, cells) | column titles\n"
          "  check ROW 0|1             set a row's check mark\n"
          "  dblclick ROW              double-click a row (NM_DBLCLK)\n"
          "  menu ROW PICK [ms]        right-click a row and pick item PICK (0: dismiss)\n"
          "  answer yes|no|ok|none [ms] find the program's message box, print it, press a button\n"
          "  nobox [ms]                fail if a message box of the program shows up\n"
          "  version [ms] | version-close ok|close | version-reopen [ms] (close and ask again at once)\n"
          "  close | gone [ms]         post WM_CLOSE | wait for the main window to go\n"
          "  close-answer BUTTON [ms]  post WM_CLOSE, then as answer (a box shown after the window)\n"
          "  kill                      end the program at once, as a crash would\n"
          "  clip-set TEXT | clip-get | clip-clear   write, read or empty the clipboard\n"
          "  attrib PATH               file attributes (hidden, readonly)\n"
          "  trust-root DER            add a certificate to the user's root store\n"
          "  threads                   how many threads the program has\n"
          "  startup EXE EXE N | tickcost N | probe MS | capture URL | soak ... | resources\n"
          "  killtest EXE DIR KILLS [SEED [unsaved]] | fullhistory PATH | saveprobe MS HISTORY-FILE\n"
          "  module NAME               whether the program has the DLL NAME loaded\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return Usage();
    }
    const std::string command = args[0];
    // Every text the program shows is code page 932; any other locale reads it wrongly.
    if (GetACP() != 932) {
        return Fail("the ANSI code page is " + std::to_string(GetACP()) + ", not 932 (LANG and LC_ALL ja_JP.UTF-8)");
    }

    // Commands that need no running program.
    if (command == "clip-set") {
        return args.size() == 2 && WriteClipboard(Unescaped(args[1])) ? 0 : Fail("cannot write the clipboard");
    }
    if (command == "clip-clear") {
        return WriteClipboard(std::string(), true) ? 0 : Fail("cannot empty the clipboard");
    }
    if (command == "clip-get") {
        std::string text;
        if (!ReadClipboard(text)) {
            return Fail("the clipboard holds no text");
        }
        Print(Escaped(text) + "\n");
        return 0;
    }
    if (command == "trust-root") {
        // The prefix's root store trusts the DER certificate in the file from now on.
        return args.size() == 2 && TrustRootCertificate(args[1]) ? 0 : Fail("cannot add the certificate to the root store");
    }
    if (command == "attrib") {
        if (args.size() != 2) {
            return Usage();
        }
        DWORD attributes = GetFileAttributesA(args[1].c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return Fail("no such file: " + args[1]);
        }
        Print(std::string((attributes & FILE_ATTRIBUTE_HIDDEN) ? "hidden" : "visible") +
              ((attributes & FILE_ATTRIBUTE_READONLY) ? " readonly" : "") + "\n");
        return 0;
    }
    if (command == "startup") {
        return RunStartupBench(args);
    }
    if (command == "killtest") {
        return RunKillTest(args);
    }
    if (command == "fullhistory") {
        return RunWriteFullHistory(args);
    }

    Target target = {};
    DWORD findWait = command == "wait" ? WaitArg(args, 1) : DefaultWaitMs;
    if (!FindTarget(target, findWait)) {
        return Fail("the main window \"Clipwren\" is not there");
    }
    const int number = args.size() > 1 ? atoi(args[1].c_str()) : 0;

    if (command == "wait") {
        Print("pid " + std::to_string(target.processId) + "\n");
        return 0;
    }
    if (command == "click") {
        double start = NowMs();
        if (!SendBounded(Control(target, number), BM_CLICK, 0, 0, 30000)) {
            return Fail("no answer");
        }
        // With a second argument "time", prints how long the program took to handle the click.
        if (args.size() > 2 && args[2] == "time") {
            Print(std::to_string(static_cast<int>(NowMs() - start)) + " ms\n");
        }
        return 0;
    }
    if (command == "command") {
        return PostMessageA(target.main, WM_COMMAND, MAKEWPARAM(number, 0), 0) ? 0 : Fail("cannot post");
    }
    if (command == "text") {
        std::string text;
        if (!ControlText(Control(target, number), text)) {
            return Fail("control " + args[1] + " does not answer");
        }
        Print(Escaped(text) + "\n");
        return 0;
    }
    if (command == "state") {
        std::string out = "enabled " + std::to_string(IsWindowEnabled(target.main) ? 1 : 0);
        out += " text " + std::to_string(IsWindowVisible(Control(target, TextViewId)) ? 1 : 0);
        out += " list " + std::to_string(IsWindowVisible(Control(target, EntryListId)) ? 1 : 0);
        for (int id = 1002; id <= 1005; ++id) {
            DWORD_PTR check = 0;
            SendBounded(Control(target, id), BM_GETCHECK, 0, 0, SendTimeoutMs, &check);
            out += " " + std::to_string(id) + "=" + std::to_string(check);
        }
        RECT client = {};
        GetClientRect(target.main, &client);
        RECT frame = {};
        GetWindowRect(target.main, &frame);
        out += " window " + std::to_string(frame.right - frame.left) + "x" + std::to_string(frame.bottom - frame.top);
        Print(out + "\n");
        return 0;
    }
    if (command == "await") {
        return args.size() >= 3 ? AwaitText(target, number, Unescaped(args[2]), WaitArg(args, 3)) : Usage();
    }
    if (command == "rows") {
        return PrintRows(target);
    }
    if (command == "columns") {
        return PrintColumns(target);
    }
    if (command == "check") {
        return args.size() == 3 ? SetCheck(target, number, args[2] == "1") : Usage();
    }
    if (command == "dblclick") {
        return DoubleClickRow(target, number);
    }
    if (command == "menu") {
        return args.size() >= 3 ? ContextMenu(target, number, atoi(args[2].c_str()), WaitArg(args, 3)) : Usage();
    }
    if (command == "answer") {
        return args.size() >= 2 ? AnswerBox(target, args[1], WaitArg(args, 2)) : Usage();
    }
    if (command == "nobox") {
        HWND box = WaitThreadWindow(target, "#32770", nullptr, WaitArg(args, 1));
        if (box) {
            std::string caption;
            ControlText(box, caption);
            return Fail("unexpected message box: " + Escaped(caption) + ": " + Escaped(BoxText(box)));
        }
        return 0;
    }
    if (command == "version") {
        return OpenVersion(target, WaitArg(args, 1));
    }
    if (command == "version-reopen") {
        // Closes the version window and asks for it again at once, before the program has left
        // the closed window's message loop.
        HWND dialog = FindThreadWindow(target, "NORMALDLG", "DigVersionInfo");
        if (!dialog) {
            return Fail("the version window is not open");
        }
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        PostMessageA(target.main, WM_COMMAND, MAKEWPARAM(VersionInfoCommandId, 0), 0);
        HWND again = nullptr;
        double deadline = NowMs() + WaitArg(args, 1);
        while (NowMs() < deadline && (!again || again == dialog)) {
            again = FindThreadWindow(target, "NORMALDLG", "DigVersionInfo");
            Sleep(20);
        }
        Print(std::string(again && again != dialog ? "reopened" : "not reopened") + ", main enabled: " +
              std::to_string(IsWindowEnabled(target.main) ? 1 : 0) + "\n");
        return 0;
    }
    if (command == "version-close") {
        return args.size() == 2 ? CloseVersion(target, args[1], DefaultWaitMs) : Usage();
    }
    if (command == "close") {
        return PostMessageA(target.main, WM_CLOSE, 0, 0) ? 0 : Fail("cannot post");
    }
    // The boxes shown once the main window is gone: the program's thread is known from before.
    if (command == "close-answer") {
        if (args.size() < 2) {
            return Usage();
        }
        return PostMessageA(target.main, WM_CLOSE, 0, 0) ? AnswerBox(target, args[1], WaitArg(args, 2))
                                                         : Fail("cannot post");
    }
    if (command == "kill") {
        HandleGuard process(OpenProcess(PROCESS_TERMINATE, FALSE, target.processId));
        return process.handle && TerminateProcess(process.handle, 9) ? 0 : Fail("cannot end the program");
    }
    if (command == "threads") {
        const int threads = ThreadsOf(target.processId);
        if (threads < 0) {
            return Fail("cannot list the threads");
        }
        Print(std::to_string(threads) + "\n");
        return 0;
    }
    if (command == "gone") {
        return WaitWindowGone(target.main, WaitArg(args, 1)) ? 0 : Fail("the main window is still there");
    }
    if (command == "tickcost") {
        return RunTickCost(args);
    }
    if (command == "probe") {
        return RunProbe(args);
    }
    if (command == "capture") {
        return RunCaptureTime(args);
    }
    if (command == "soak") {
        return RunSoak(args);
    }
    if (command == "resources") {
        return RunResources(args);
    }
    if (command == "saveprobe") {
        return RunSaveProbe(args);
    }
    if (command == "module") {
        return args.size() == 2 ? RunModuleQuery(args) : Usage();
    }
    return Usage();
}
