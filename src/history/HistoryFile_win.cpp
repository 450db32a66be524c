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
// Where a file that this run could not read fully, or whose entries did not all find room, is
// kept: "CWHistry.kept.txt", then "CWHistry.kept-2.txt", "CWHistry.kept-3.txt", ... whichever is
// free from the number after the run's last; none is ever overwritten.
const char KeptFileName[] = "CWHistry.kept.txt";
const char KeptFileNumbered[] = "CWHistry.kept-%d.txt";
constexpr int MaxKeptFiles = 9999;
int lastKeptNumber = MaxKeptFiles;
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

// The bytes of a file, told apart cheaply: their count and their FNV-1a hash.
struct FileDigest {
    bool known;
    ULONGLONG size;
    DWORD hash;
};

constexpr DWORD FnvOffset = 2166136261u;
constexpr DWORD FnvPrime = 16777619u;

bool SameBytes(const FileDigest& a, const FileDigest& b) {
    return a.known && b.known && a.size == b.size && a.hash == b.hash;
}

// State of this run's file, set by LoadHistory.
struct RunFileState {
    // The file found at start-up holds bytes the store does not, or a file merged since did not
    // fit whole: copy it aside before the next save.
    bool keepOldFile;
    // The file could not be opened at start-up: it is not replaced until it has been read.
    bool unread;
    FileIdentity known;
    // What this run last wrote, set aside and merged: a file holding the same bytes again has
    // nothing this run lacks, whatever its time stamp says.
    FileDigest written;
    FileDigest kept;
    FileDigest merged;
    // The kept number to try first.
    int nextKept;
    // Every kept name was taken when a file was to be set aside; the save went ahead without it.
    bool keptNamesRanOut;
};
RunFileState runFile;

bool BytesThisRunHas(const FileDigest& digest) {
    return SameBytes(digest, runFile.written) || SameBytes(digest, runFile.kept) ||
           SameBytes(digest, runFile.merged);
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

// The size of an open file small enough to be a history this program wrote.
bool HistorySize(HANDLE file, DWORD& size) {
    LARGE_INTEGER large;
    if (!GetFileSizeEx(file, &large) || large.QuadPart > MaxReadSize) {
        return false;
    }
    size = static_cast<DWORD>(large.QuadPart);
    return true;
}

// Reads up to wanted bytes of the open file, from where it stands, into data; returns how many.
DWORD ReadUpTo(HANDLE file, char* data, DWORD wanted) {
    DWORD total = 0;
    while (total < wanted) {
        DWORD got = 0;
        if (!ReadFile(file, data + total, wanted - total, &got, nullptr) || got == 0) {
            break;
        }
        total += got;
    }
    return total;
}

FileDigest DigestOfBytes(const char* data, size_t size) {
    DWORD hash = FnvOffset;
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ static_cast<unsigned char>(data[i])) * FnvPrime;
    }
    return FileDigest{true, size, hash};
}

// Fills the store from the open file. Returns false when the file holds bytes that a save of the
// store would not write again: bytes not read, outside every record, or past the 127th record.
// digest, when given, gets the file's bytes once they are all read.
bool LoadFromFile(HistoryStore& store, HANDLE file, FileDigest* digest = nullptr) {
    DWORD wanted = 0;
    if (!HistorySize(file, wanted)) {
        InitEmptyStore(store);
        return false;
    }
    // The reader takes the byte count; the spare byte only keeps an empty file's buffer non-empty.
    ProcessHeapBlock buffer(static_cast<SIZE_T>(wanted) + 1);
    if (!buffer.get()) {
        InitEmptyStore(store);
        return wanted == 0;
    }
    const DWORD total = StepFails(HistoryFileStep::Read) ? 0 : ReadUpTo(file, buffer.get(), wanted);
    if (digest && total == wanted) {
        *digest = DigestOfBytes(buffer.get(), total);
    }
    const HistoryLoadResult loaded = LoadStoreFromText(store, buffer.get(), total);
    return total == wanted && loaded.complete == 1;
}

// The digest of the file at path; false when it cannot be opened at once or read whole.
bool DigestOfPath(const char* path, FileDigest& digest) {
    DWORD error = 0;
    KernelHandle file(OpenShared(path, 0, error));
    DWORD size = 0;
    if (!file.valid() || !HistorySize(file.get(), size)) {
        return false;
    }
    ProcessHeapBlock buffer(static_cast<SIZE_T>(size) + 1);
    if (!buffer.get() || ReadUpTo(file.get(), buffer.get(), size) != size) {
        return false;
    }
    digest = DigestOfBytes(buffer.get(), size);
    return true;
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

enum class Keeping {
    Kept,        // copied aside, or nothing there to keep
    Failed,      // the copy could not be made: the file is not replaced
    NamesRanOut, // every kept name is taken: the file is replaced all the same
};

// Copies the file aside under the first free kept name from the run's next number; digest gets
// the copy's bytes.
Keeping KeepOldFile(const char* path, FileDigest& digest) {
    digest = FileDigest{};
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        return IsMissing(GetLastError()) ? Keeping::Kept : Keeping::Failed;
    }
    if (StepFails(HistoryFileStep::KeepOld)) {
        return Keeping::Failed;
    }
    int first = 1;
    {
        Locked locked(FileRecordLock());
        first = runFile.nextKept < 1 ? 1 : runFile.nextKept;
    }
    for (int n = first; n <= lastKeptNumber; ++n) {
        char name[64];
        NumberedName(name, n, KeptFileName, KeptFileNumbered);
        char keptPath[PathBufferSize];
        if (!PathInCurrentFolder(keptPath, name) || FolderRefuses()) {
            return Keeping::Failed;
        }
        if (CopyFileA(path, keptPath, TRUE)) {
            DigestOfPath(keptPath, digest);
            Locked locked(FileRecordLock());
            if (!ThisThreadAbandoned()) {
                runFile.nextKept = n + 1;
            }
            return Keeping::Kept;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return Keeping::Failed;
        }
    }
    // The user is told to remove older ones; the next keeping looks from the first name again.
    Locked locked(FileRecordLock());
    if (!ThisThreadAbandoned()) {
        runFile.nextKept = 1;
    }
    return Keeping::NamesRanOut;
}

} // namespace

void EndKeptNamesAt(int last) {
    lastKeptNumber = last > 0 ? last : MaxKeptFiles;
}

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

int MergeChangedHistory(HistoryStore& store, int (*compare)(const char*, const char*)) {
    char path[PathBufferSize];
    if (runFile.unread || !PathInCurrentFolder(path, HistoryFileName) || !ChangedSinceKnown(path)) {
        return 0;
    }
    DWORD error = 0;
    KernelHandle file(OpenShared(path, 0, error));
    if (!file.valid()) {
        // Busy now: the write keeps it aside as changed, or the next write tries again.
        return 0;
    }
    HistoryStore other;
    InitEmptyStore(other);
    FileDigest digest = {};
    const bool complete = LoadFromFile(other, file.get(), &digest);
    const FileIdentity identity = IdentityOfHandle(file.get());
    // Not read whole, the write keeps it aside as changed; bytes this run has hold nothing new.
    const bool news = digest.known && !BytesThisRunHas(digest);
    int leftOut = 0;
    const int merged = news ? MergeChangedEntries(store, other, compare, &leftOut) : 0;
    ReleaseStoreStrings(other);
    if (digest.known && !news) {
        Locked locked(FileRecordLock());
        runFile.known = identity;
        return 0;
    }
    if (!news || merged < 0) {
        return 0;
    }
    // A file whose entries did not all come in is set aside before the write replaces it; one
    // that came in whole is what this run has from now on.
    Locked locked(FileRecordLock());
    runFile.known = identity;
    if (!complete || leftOut > 0) {
        runFile.keepOldFile = true;
    } else {
        runFile.merged = digest;
    }
    return merged;
}

bool TakeKeptNamesRanOut() {
    Locked locked(FileRecordLock());
    const bool ranOut = runFile.keptNamesRanOut;
    runFile.keptNamesRanOut = false;
    return ranOut;
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
    // kept before anything replaces them, unless they are what this run already has; when they
    // cannot be kept, the file is not replaced. With every kept name taken the save goes ahead,
    // since failing it would only add the run's own history to what is lost.
    bool keep = false;
    {
        Locked locked(FileRecordLock());
        keep = runFile.keepOldFile;
    }
    if (keep || ChangedSinceKnown(path)) {
        FileDigest now = {};
        if (DigestOfPath(path, now)) {
            Locked locked(FileRecordLock());
            keep = !BytesThisRunHas(now);
        } else {
            keep = true;
        }
    }
    if (keep) {
        FileDigest kept = {};
        const Keeping keeping = KeepOldFile(path, kept);
        if (keeping == Keeping::Failed) {
            return HistoryWrite::Failed;
        }
        Locked locked(FileRecordLock());
        if (!ThisThreadAbandoned()) {
            runFile.keepOldFile = false;
            runFile.keptNamesRanOut = runFile.keptNamesRanOut || keeping == Keeping::NamesRanOut;
            if (kept.known) {
                runFile.kept = kept;
            }
        }
    } else {
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
    const FileDigest digest = DigestOfBytes(text.data, text.size);
    {
        Locked locked(FileRecordLock());
        if (!ThisThreadAbandoned()) {
            runFile.known = written;
            runFile.written = digest;
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

