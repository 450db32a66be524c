// This run's unsaved file, beside the history or in the local application data.
#include "history/UnsavedHistory_win.h"

// The light declaration of SHGetFolderPathA: <shlobj.h> declares a type named Shell.
#include <shfolder.h>

#include <climits>

#include "base/Guards_win.h"
#include "base/SystemLibrary_win.h"
#include "history/SafeReplace_win.h"

namespace {

// This run's history when the history file cannot take it. The numbers never run out: a run
// takes the first free one, however many earlier runs left theirs.
const char UnsavedFileName[] = "CWHistry.unsaved.txt";
const char UnsavedFileNumbered[] = "CWHistry.unsaved-%d.txt";
// The folder in the local application data where the unsaved file goes when the history's own
// folder refuses it.
const char AppDataFolderName[] = "Clipwren";

// This run's unsaved file, once one has been taken.
struct UnsavedFile {
    char path[PathBufferSize];
};
UnsavedFile unsaved;

// This run's unsaved file in folder: the first free name is taken (created empty, so that no
// other run takes it too), then written. False when the folder refuses the file or its text.
bool KeepUnsavedIn(const char* folder, bool inHistoryFolder, const HistoryText& text) {
    for (int n = 1; n < INT_MAX; ++n) {
        char name[64];
        NumberedName(name, n, UnsavedFileName, UnsavedFileNumbered);
        char path[PathBufferSize];
        if (!JoinPath(path, folder, name) || (inHistoryFolder && FolderRefuses())) {
            return false;
        }
        KernelHandle claim(
            CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!claim.valid()) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
                continue;
            }
            return false;
        }
        claim.Close();
        if (!WriteThenReplace(path, text, FILE_ATTRIBUTE_NORMAL, inHistoryFolder)) {
            DeleteFileA(path);
            return false;
        }
        Locked locked(FileRecordLock());
        if (ThisThreadAbandoned()) {
            return false;
        }
        lstrcpyA(unsaved.path, path);
        return true;
    }
    return false;
}

} // namespace

bool LocalAppDataFolder(char (&out)[MAX_PATH]) {
    const DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", out, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        return true;
    }
    using FolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    HMODULE shell = LoadSystemLibrary("shell32.dll");
    auto folderPath =
        shell ? reinterpret_cast<FolderPathFn>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathA")))
              : nullptr;
    // Flags 0: the folder as it is now, not its default.
    return folderPath && folderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, out) == S_OK;
}

int KeepUnsavedHistory(const HistoryText& text) {
    UnsavedFile taken;
    {
        Locked locked(FileRecordLock());
        if (ThisThreadAbandoned()) {
            return 0;
        }
        taken = unsaved;
    }
    if (taken.path[0] && WriteThenReplace(taken.path, text, FILE_ATTRIBUTE_NORMAL, false)) {
        return 1;
    }
    // The file taken earlier cannot be written any more: a new one is taken.
    {
        Locked locked(FileRecordLock());
        if (ThisThreadAbandoned()) {
            return 0;
        }
        unsaved.path[0] = '\0';
    }
    char folder[PathBufferSize];
    if (CurrentFolder(folder) && KeepUnsavedIn(folder, true, text)) {
        return 1;
    }
    char localAppData[MAX_PATH];
    char appFolder[PathBufferSize];
    if (!LocalAppDataFolder(localAppData) || !JoinPath(appFolder, localAppData, AppDataFolderName)) {
        return 0;
    }
    CreateDirectoryA(appFolder, nullptr);
    return KeepUnsavedIn(appFolder, false, text) ? 1 : 0;
}

const char* UnsavedHistoryPath() {
    return unsaved.path;
}

void ForgetUnsavedHistory() {
    Locked locked(FileRecordLock());
    unsaved = UnsavedFile{};
}

void RemoveUnsavedHistory() {
    UnsavedFile taken;
    {
        Locked locked(FileRecordLock());
        if (ThisThreadAbandoned()) {
            return;
        }
        taken = unsaved;
        unsaved = UnsavedFile{};
    }
    if (taken.path[0]) {
        DeleteFileA(taken.path);
    }
}
