// The history file "CWHistry.txt" in the current directory: read at start-up with sharing,
// replaced safely, never replaced while unread or changed behind this run's back, and the run's
// history kept in an unsaved file when it cannot be written.
#include "history/HistoryFile_win.h"
#include "history/HistoryFileFaults_win.h"
#include "history/VirtualStorePath.h"

#include <windows.h>
// The light declaration of SHGetFolderPathA: <shlobj.h> declares a type named Shell.
#include <shfolder.h>

#include "base/Guards_win.h"
#include "base/Heap_win.h"
#include "base/SystemLibrary_win.h"

#include <cstring>

namespace {

// The user's local application data folder into out (MAX_PATH bytes). The environment names it
// on every system that has one; the shell is asked only where it does not, and is loaded for
// that, so that a run which never needs it never loads it.
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

const char HistoryFileName[] = "CWHistry.txt";
// Written completely, then moved over the history file; a crash leaves at most this behind.
const char TempFileName[] = "CWHistry.tmp";
// Where a file that this run could not read fully, or that changed behind its back, is kept:
// "CWHistry.kept.txt", then "CWHistry.kept-2.txt", "CWHistry.kept-3.txt", ... whichever is free;
// none is ever overwritten.
const char KeptFileName[] = "CWHistry.kept.txt";
const char KeptFileNumbered[] = "CWHistry.kept-%d.txt";
constexpr int MaxKeptFiles = 9999;
// This run's history when the history file cannot take it, each with its own temporary file.
const char UnsavedFileName[] = "CWHistry.unsaved.txt";
const char UnsavedFileNumbered[] = "CWHistry.unsaved-%d.txt";
const char UnsavedTempName[] = "CWHistry.unsaved.tmp";
const char UnsavedTempNumbered[] = "CWHistry.unsaved-%d.tmp";
constexpr int MaxUnsavedFiles = 20;
// The folder in the local application data where the unsaved file goes when the history's own
// folder refuses it.
const char AppDataFolderName[] = "Clipwren";

constexpr DWORD PathBufferSize = 1024;
// A larger file is not a history this program wrote; it is kept aside instead of loaded.
constexpr LONGLONG MaxReadSize = 0x10000000;
// How long a history file another program holds is waited for at start-up, and how long a
// replacement that another program holds up is tried again.
constexpr DWORD StartUpPatienceMs = 2000;
constexpr DWORD ReplacePatienceMs = 1000;
constexpr DWORD RetryPauseMs = 50;
// SHGFP_TYPE_CURRENT: the folder as it is now, not its default.
constexpr DWORD FolderPathNow = 0;

// What a file looked like when this run last read or wrote it.
struct FileIdentity {
    bool exists;
    DWORD sizeHigh;
    DWORD sizeLow;
    FILETIME lastWrite;
};

// State of this run's file, set by LoadHistory.
struct RunFileState {
    // The file found at start-up was not read completely: copy it aside before the first save.
    bool keepOldFile;
    // The file could not be opened at start-up: it is not replaced until it has been read.
    bool unread;
    FileIdentity known;
    // This run's unsaved file and its temporary file, once one has been taken.
    char unsavedPath[PathBufferSize];
    char unsavedTempPath[PathBufferSize];
};
RunFileState runFile;

HistoryFileStep failingStep = HistoryFileStep::None;

bool Fails(HistoryFileStep step) {
    return failingStep == step;
}

// True (with ERROR_ACCESS_DENIED) when a file is not to be created in the history's folder.
bool FolderRefuses() {
    if (Fails(HistoryFileStep::ReadOnlyFolder)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return true;
    }
    return false;
}

// "<folder>\<name>"; false when it does not fit the 1024-byte buffer.
bool JoinPath(char (&path)[PathBufferSize], const char* folder, const char* name) {
    if (std::strlen(folder) + 1 + std::strlen(name) >= PathBufferSize) {
        return false;
    }
    wsprintfA(path, "%s\\%s", folder, name);
    return true;
}

// "<current directory>\<name>"; false when it does not fit the 1024-byte buffer.
bool ComposePath(char (&path)[PathBufferSize], const char* name) {
    char directory[PathBufferSize];
    const DWORD length = GetCurrentDirectoryA(PathBufferSize, directory);
    return length != 0 && length < PathBufferSize && JoinPath(path, directory, name);
}

// The first name of a numbered series: "<first>" for 1, else the pattern with n.
void NumberedName(char (&name)[64], int n, const char* first, const char* pattern) {
    if (n == 1) {
        lstrcpyA(name, first);
    } else {
        wsprintfA(name, pattern, n);
    }
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

FileIdentity IdentityOfHandle(HANDLE file) {
    FileIdentity identity = {};
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(file, &info)) {
        identity = FileIdentity{true, info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime};
    }
    return identity;
}

// False when the file's state cannot even be asked.
bool IdentityOfPath(const char* path, FileIdentity& identity) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &info)) {
        identity = FileIdentity{};
        return IsMissing(GetLastError());
    }
    identity = FileIdentity{true, info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime};
    return true;
}

// True when the file is no longer the one this run last read or wrote. A file that has gone
// holds nothing to lose; one that cannot be asked about counts as changed.
bool ChangedSinceKnown(const char* path) {
    FileIdentity now;
    if (!IdentityOfPath(path, now)) {
        return true;
    }
    if (!now.exists) {
        return false;
    }
    const FileIdentity& known = runFile.known;
    return !known.exists || now.sizeHigh != known.sizeHigh || now.sizeLow != known.sizeLow ||
           CompareFileTime(&now.lastWrite, &known.lastWrite) != 0;
}

// Opens a file for reading while other programs may read it and may replace or delete it, but
// not write it. A sharing violation is tried again for patienceMs; error tells why it failed.
HANDLE OpenShared(const char* path, DWORD patienceMs, DWORD& error) {
    const DWORD start = GetTickCount();
    for (;;) {
        HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        error = GetLastError();
        if (file != INVALID_HANDLE_VALUE || error != ERROR_SHARING_VIOLATION ||
            GetTickCount() - start >= patienceMs) {
            return file;
        }
        Sleep(RetryPauseMs);
    }
}

// Whether a file that could not be opened still holds bytes worth keeping. A missing file is an
// empty history; a file whose size cannot even be asked is assumed to hold some.
bool UnopenedFileHoldsBytes(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &info)) {
        return !IsMissing(GetLastError());
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        return false;
    }
    return info.nFileSizeHigh != 0 || info.nFileSizeLow != 0;
}

// Fills the store from the open file. Returns false when the file holds bytes that did not
// reach the store.
bool LoadFromFile(HistoryStore& store, HANDLE file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart > MaxReadSize) {
        InitEmptyStore(store);
        return false;
    }
    const DWORD wanted = static_cast<DWORD>(size.QuadPart);
    // The reader takes the byte count; the spare byte only keeps an empty file's buffer non-empty.
    GeneralHeapBlock buffer(static_cast<SIZE_T>(wanted) + 1);
    if (!buffer.get()) {
        InitEmptyStore(store);
        return wanted == 0;
    }
    DWORD total = 0;
    while (total < wanted) {
        DWORD got = 0;
        if (Fails(HistoryFileStep::Read) ||
            !ReadFile(file, buffer.get() + total, wanted - total, &got, nullptr) || got == 0) {
            break;
        }
        total += got;
    }
    const HistoryLoadResult loaded = LoadStoreFromText(store, buffer.get(), total);
    return total == wanted && (total == 0 || loaded.complete == 1);
}

// An older 32-bit run without a manifest, started in a protected folder, had its history
// redirected into the VirtualStore. Read once, for a folder that has no history of its own; the
// copy itself is never written.
void LoadVirtualStoreCopy(HistoryStore& store) {
    char folder[PathBufferSize];
    char localAppData[MAX_PATH];
    char path[PathBufferSize];
    const DWORD length = GetCurrentDirectoryA(PathBufferSize, folder);
    if (length == 0 || length >= PathBufferSize ||
        !LocalAppDataFolder(localAppData) ||
        !ComposeVirtualStorePath(localAppData, folder, HistoryFileName, path, sizeof path)) {
        return;
    }
    DWORD error = 0;
    KernelHandle copy(OpenShared(path, 0, error));
    if (copy.valid()) {
        LoadFromFile(store, copy.get());
    }
}

// Copies the file aside under the first free kept name. True when there is nothing to keep or
// the copy is made.
bool KeepOldFile(const char* path) {
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        return IsMissing(GetLastError());
    }
    if (Fails(HistoryFileStep::KeepOld)) {
        return false;
    }
    for (int n = 1; n <= MaxKeptFiles; ++n) {
        char name[64];
        NumberedName(name, n, KeptFileName, KeptFileNumbered);
        char keptPath[PathBufferSize];
        if (!ComposePath(keptPath, name) || FolderRefuses()) {
            return false;
        }
        if (CopyFileA(path, keptPath, TRUE)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    return false;
}

bool WriteAll(HANDLE file, const char* data, size_t size) {
    if (Fails(HistoryFileStep::Write)) {
        // As a full disk would: part of the text reaches the file, then the write fails.
        DWORD written = 0;
        WriteFile(file, data, static_cast<DWORD>(size / 2), &written, nullptr);
        return false;
    }
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Moves the temporary file over the target. A target that another program holds open fails
// with a sharing violation or, more often, ERROR_ACCESS_DENIED; both are tried again for about a
// second, since such a hold is usually brief (a virus scanner, a backup or sync client).
bool MovePatiently(const char* tempPath, const char* path) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (Fails(HistoryFileStep::Move)) {
            return false;
        }
        if (MoveFileExA(tempPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) ||
            GetTickCount() - start >= ReplacePatienceMs) {
            return false;
        }
        Sleep(RetryPauseMs);
    }
}

// Writes the text to the temporary file and moves it over path only when all of it is on disk.
// On any failure path is as it was and the temporary file is gone. The result has the temporary
// file's attributes.
bool WriteThenReplace(const char* path, const char* tempPath, const HistoryText& text, DWORD attributes,
                      bool inHistoryFolder) {
    // A temporary file left by an interrupted save is ours to overwrite, but CREATE_ALWAYS
    // refuses one that is read-only or marked system.
    SetFileAttributesA(tempPath, FILE_ATTRIBUTE_NORMAL);
    {
        const bool refused = Fails(HistoryFileStep::CreateTemp) || (inHistoryFolder && FolderRefuses());
        KernelHandle temp(refused ? INVALID_HANDLE_VALUE
                                  : CreateFileA(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes,
                                                nullptr));
        if (!temp.valid()) {
            return false;
        }
        const bool written = WriteAll(temp.get(), text.data, text.size) && !Fails(HistoryFileStep::Flush) &&
                             FlushFileBuffers(temp.get());
        temp.Close();
        if (!written) {
            DeleteFileA(tempPath);
            return false;
        }
    }
    // Replaces the old file, whatever its attributes, or creates it.
    if (!MovePatiently(tempPath, path)) {
        DeleteFileA(tempPath);
        return false;
    }
    return true;
}

// This run's unsaved file in folder: the first free name is taken (created empty, so that no
// other run takes it too), then written. False when the folder refuses or every name is taken.
bool KeepUnsavedIn(const char* folder, bool inHistoryFolder, const HistoryText& text) {
    for (int n = 1; n <= MaxUnsavedFiles; ++n) {
        char name[64];
        char tempName[64];
        NumberedName(name, n, UnsavedFileName, UnsavedFileNumbered);
        NumberedName(tempName, n, UnsavedTempName, UnsavedTempNumbered);
        char path[PathBufferSize];
        char tempPath[PathBufferSize];
        if (!JoinPath(path, folder, name) || !JoinPath(tempPath, folder, tempName) ||
            (inHistoryFolder && FolderRefuses())) {
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
        if (!WriteThenReplace(path, tempPath, text, FILE_ATTRIBUTE_NORMAL, inHistoryFolder)) {
            DeleteFileA(path);
            return false;
        }
        lstrcpyA(runFile.unsavedPath, path);
        lstrcpyA(runFile.unsavedTempPath, tempPath);
        return true;
    }
    return false;
}

// Once the history file holds this run's history, the unsaved file is only an older copy.
void ForgetUnsavedFile() {
    if (runFile.unsavedPath[0]) {
        DeleteFileA(runFile.unsavedPath);
        runFile.unsavedPath[0] = '\0';
        runFile.unsavedTempPath[0] = '\0';
    }
}

} // namespace

void FailHistoryFileStep(HistoryFileStep step) {
    failingStep = step;
}

void LoadHistory(HistoryStore& store) {
    runFile = RunFileState{};
    InitEmptyStore(store);
    char path[PathBufferSize];
    if (!ComposePath(path, HistoryFileName)) {
        return;
    }
    // Readers may share it; a writer may not, so a file another program is writing is not read
    // half-written.
    DWORD error = 0;
    KernelHandle file(OpenShared(path, StartUpPatienceMs, error));
    if (file.valid()) {
        runFile.known = IdentityOfHandle(file.get());
        runFile.keepOldFile = !LoadFromFile(store, file.get());
    } else if (error == ERROR_FILE_NOT_FOUND) {
        LoadVirtualStoreCopy(store);
    } else {
        // Held by another program, or not ours to read: never replaced before it has been read.
        // One that holds nothing may be replaced, as long as it stays as it is now.
        runFile.unread = UnopenedFileHoldsBytes(path);
        IdentityOfPath(path, runFile.known);
    }
}

bool HistoryFileUnread() {
    return runFile.unread;
}

int ReadUnreadHistory(HistoryStore& store, int (*compare)(const char*, const char*)) {
    if (!runFile.unread) {
        return 1;
    }
    char path[PathBufferSize];
    if (!ComposePath(path, HistoryFileName)) {
        return 0;
    }
    DWORD error = 0;
    KernelHandle file(OpenShared(path, 0, error));
    if (!file.valid()) {
        if (IsMissing(error)) {
            // Gone: nothing left to read, nothing to lose by writing.
            runFile.unread = false;
            runFile.known = FileIdentity{};
            return 1;
        }
        return 0;
    }
    HistoryStore older;
    InitEmptyStore(older);
    const bool complete = LoadFromFile(older, file.get());
    const FileIdentity identity = IdentityOfHandle(file.get());
    const int merged = MergeOlderEntries(store, older, compare);
    ReleaseStoreStrings(older);
    if (merged < 0) {
        return 0;
    }
    runFile.unread = false;
    runFile.known = identity;
    runFile.keepOldFile = !complete;
    return 1;
}

HistoryWrite WriteHistoryText(const HistoryText& text) {
    char path[PathBufferSize];
    char tempPath[PathBufferSize];
    if (!ComposePath(path, HistoryFileName) || !ComposePath(tempPath, TempFileName)) {
        return HistoryWrite::Failed;
    }
    if (runFile.unread) {
        return HistoryWrite::Unread;
    }
    // A history file the user made read-only stays as it is: MoveFileEx refuses to replace it on
    // Windows, but Wine would.
    const DWORD oldAttributes = GetFileAttributesA(path);
    if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & FILE_ATTRIBUTE_READONLY)) {
        return HistoryWrite::LeftReadOnly;
    }
    // Bytes this run has not read (a damaged file, or one written since by someone else) are
    // kept before anything replaces them; when they cannot be kept, the file is not replaced.
    if (runFile.keepOldFile || ChangedSinceKnown(path)) {
        if (!KeepOldFile(path)) {
            return HistoryWrite::Failed;
        }
        runFile.keepOldFile = false;
    }
    if (!WriteThenReplace(path, tempPath, text, FILE_ATTRIBUTE_HIDDEN, true)) {
        return HistoryWrite::Failed;
    }
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_HIDDEN)) {
        SetFileAttributesA(path, attributes | FILE_ATTRIBUTE_HIDDEN);
    }
    IdentityOfPath(path, runFile.known);
    ForgetUnsavedFile();
    return HistoryWrite::Written;
}

int WriteHistoryFile(HistoryStore& store) {
    HistoryText text;
    if (!ComposeStoreText(store, text)) {
        return 0;
    }
    return WriteHistoryText(text) == HistoryWrite::Written ? 1 : 0;
}

void SaveHistory(HistoryStore& store) {
    WriteHistoryFile(store);
    ReleaseStoreStrings(store);
}

int KeepUnsavedHistory(const HistoryText& text) {
    if (runFile.unsavedPath[0] &&
        WriteThenReplace(runFile.unsavedPath, runFile.unsavedTempPath, text, FILE_ATTRIBUTE_NORMAL, false)) {
        return 1;
    }
    // The file taken earlier cannot be written any more: a new one is taken.
    runFile.unsavedPath[0] = '\0';
    char folder[PathBufferSize];
    const DWORD length = GetCurrentDirectoryA(PathBufferSize, folder);
    if (length != 0 && length < PathBufferSize && KeepUnsavedIn(folder, true, text)) {
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
    return runFile.unsavedPath;
}
