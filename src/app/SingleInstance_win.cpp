// The folder's claim: a named block of shared memory, named after the folder's identity and
// holding the main window of the copy that owns it.
#include "app/SingleInstance_win.h"

namespace {

// A second copy waits this long for the first one's main window, which appears only once the
// history has been read (up to 2 s when another program holds the file).
constexpr DWORD HandOverPatienceMs = 8000;
constexpr DWORD HandOverPauseMs = 100;

struct ClaimRecord {
    volatile LONG window; // HandleToLong of the main window; 0 until it exists
};

// The name of the current folder's claim. The folder's identity (volume serial number and file
// index) is the same whatever spelling led to it: 8.3 names, mapped drives, junctions. "Local\"
// keeps it to this Windows session; across sessions the history file's own change check holds.
bool ClaimName(char (&name)[96]) {
    KernelHandle folder(CreateFileA(".", FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!folder.valid() || !GetFileInformationByHandle(folder.get(), &info)) {
        return false;
    }
    wsprintfA(name, "Local\\Clipwren.Folder.%08lX.%08lX%08lX", info.dwVolumeSerialNumber, info.nFileIndexHigh,
              info.nFileIndexLow);
    return true;
}

// The main window the owner of the claim published; null while it has none.
HWND PublishedWindow(HANDLE mapping) {
    MappedView view(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(ClaimRecord)));
    if (!view.get()) {
        return nullptr;
    }
    const LONG value = static_cast<const ClaimRecord*>(view.get())->window;
    return static_cast<HWND>(LongToHandle(value));
}

void BringToFront(HWND window) {
    // Asynchronous: a first copy that hangs must not hang the second one too.
    if (IsIconic(window)) {
        ShowWindowAsync(window, SW_RESTORE);
    }
    SetForegroundWindow(window);
}

} // namespace

FolderClaim::FolderClaim() : owned_(true) {
    char name[96];
    // A folder whose identity cannot be asked is run in as before.
    if (!ClaimName(name)) {
        return;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        mapping_.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ClaimRecord), name));
        const DWORD error = GetLastError();
        if (!mapping_.valid()) {
            return;
        }
        if (error != ERROR_ALREADY_EXISTS) {
            view_.Reset(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, sizeof(ClaimRecord)));
            return;
        }
        const HWND window = PublishedWindow(mapping_.get());
        // Closed before waiting: a first copy that ends meanwhile takes its claim along, and the
        // next round claims the folder for this one.
        mapping_.Close();
        if (window && IsWindow(window)) {
            BringToFront(window);
            owned_ = false;
            return;
        }
        if (GetTickCount() - start >= HandOverPatienceMs) {
            owned_ = false;
            return;
        }
        Sleep(HandOverPauseMs);
    }
}

void FolderClaim::Publish(HWND window) {
    if (view_.get()) {
        InterlockedExchange(&static_cast<ClaimRecord*>(view_.get())->window, HandleToLong(window));
    }
}

void FolderClaim::Release() {
    view_.Reset();
    mapping_.Close();
}
