// The history file "CWHistry.txt" in the current directory: read at start-up with sharing,
// replaced safely, never replaced while unread or changed behind this run's back.
#include "history/HistoryFile_win.h"

#include <windows.h>

#include "base/Guards_win.h"
#include "history/SafeReplace_win.h"
#include "history/UnsavedHistory_win.h"
#include "history/VirtualStorePath.h"

namespace {

const char HistoryFileName[] = "CWHistry.txt";
// Where a file that this run could not read fully, or that changed behind its back, is kept:
// "CWHistry.kept.txt", then "CWHistry.kept-2.txt", "CWHistry.kept-3.txt", ... whichever is free;
// none is ever overwritten.
const char KeptFileName[] = "CWHistry.kept.txt";
const char KeptFileNumbered[] = "CWHistry.kept-%d.txt";
constexpr int MaxKeptFiles = 9999;
// A larger file is not a history this program wrote; it is kept aside instead of loaded.
constexpr LONGLONG MaxReadSize = 0x10000000;
// How long a history file another program holds is waited for at start-up.
constexpr DWORD StartUpPatienceMs = 2000;

// What a file looked like when this run last read or wrote it.
struct FileIdentity {
    bool exists;
    DWORD sizeHigh;
    DWORD sizeLow;
    FILETIME lastWrite;
};

// State of this run's file, set by LoadHistory.
struct RunFileState {
    // The file found at start-up holds bytes the store does not: copy it aside before the first save.
    bool keepOldFile;
    // The file could not be opened at start-up: it is not replaced until it has been read.
    bool unread;
    FileIdentity known;
};
RunFileState runFile;

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

// Fills the store from the open file. Returns false when the file holds bytes that a save of the
// store would not write again: bytes not read, outside every record, or past the 127th record.
bool LoadFromFile(HistoryStore& store, HANDLE file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart > MaxReadSize) {
        InitEmptyStore(store);
        return false;
    }
    const DWORD wanted = static_cast<DWORD>(size.QuadPart);
    // The reader takes the byte count; the spare byte only keeps an empty file's buffer non-empty.
    ProcessHeapBlock buffer(static_cast<SIZE_T>(wanted) + 1);
    if (!buffer.get()) {
        InitEmptyStore(store);
        return wanted == 0;
    }
    DWORD total = 0;
    while (total < wanted) {
        DWORD got = 0;
        if (StepFails(HistoryFileStep::Read) ||
            !ReadFile(file, buffer.get() + total, wanted - total, &got, nullptr) || got == 0) {
            break;
        }
        total += got;
    }
    const HistoryLoadResult loaded = LoadStoreFromText(store, buffer.get(), total);
    return total == wanted && loaded.complete == 1;
}

// An older 32-bit run without a manifest, started in a protected folder, had its history
// redirected into the VirtualStore. Read once, for a folder that has no history of its own; the
// copy itself is never written.
void LoadVirtualStoreCopy(HistoryStore& store) {
    char folder[PathBufferSize];
    char localAppData[MAX_PATH];
    char path[PathBufferSize];
    if (!CurrentFolder(folder) || !LocalAppDataFolder(localAppData) ||
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
    if (StepFails(HistoryFileStep::KeepOld)) {
        return false;
    }
    for (int n = 1; n <= MaxKeptFiles; ++n) {
        char name[64];
        NumberedName(name, n, KeptFileName, KeptFileNumbered);
        char keptPath[PathBufferSize];
        if (!PathInCurrentFolder(keptPath, name) || FolderRefuses()) {
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

} // namespace

void LoadHistory(HistoryStore& store) {
    AbandonWritesOfThread(0);
    runFile = RunFileState{};
    InitEmptyStore(store);
    char path[PathBufferSize];
    if (!PathInCurrentFolder(path, HistoryFileName)) {
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
    if (!PathInCurrentFolder(path, HistoryFileName)) {
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
    if (!PathInCurrentFolder(path, HistoryFileName)) {
        return HistoryWrite::Failed;
    }
    if (runFile.unread) {
        return HistoryWrite::Unread;
    }
    {
        Locked locked(FileRecordLock());
        if (ThisThreadAbandoned()) {
            return HistoryWrite::Failed;
        }
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
        Locked locked(FileRecordLock());
        if (!ThisThreadAbandoned()) {
            runFile.keepOldFile = false;
        }
    }
    if (!WriteThenReplace(path, text, FILE_ATTRIBUTE_HIDDEN, true)) {
        return HistoryWrite::Failed;
    }
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_HIDDEN)) {
        SetFileAttributesA(path, attributes | FILE_ATTRIBUTE_HIDDEN);
    }
    FileIdentity written;
    IdentityOfPath(path, written);
    {
        Locked locked(FileRecordLock());
        if (!ThisThreadAbandoned()) {
            runFile.known = written;
        }
    }
    RemoveUnsavedHistory();
    return HistoryWrite::Written;
}

void SaveHistory(HistoryStore& store) {
    HistoryText text;
    if (EncodeStore(store, text)) {
        WriteHistoryText(text);
    }
    ReleaseStoreStrings(store);
}

