// The history's files written through a temporary file, and what they share.
#include "history/SafeReplace_win.h"

#include <cstring>

#include "base/Guards_win.h"
#include "history/HistoryFile_win.h"
#include "history/UnsavedHistory_win.h"

namespace {

// How long a replacement that another program holds up is tried again.
constexpr DWORD ReplacePatienceMs = 1000;

HistoryFileStep failingStep = HistoryFileStep::None;
volatile LONG writesHeld = 0;
DWORD holdingThread = 0; // its own writes are never held
// The thread whose writes the end gave up on; 0 for none.
DWORD abandonedThread = 0;

bool WriteAll(HANDLE file, const char* data, size_t size) {
    if (StepFails(HistoryFileStep::Write)) {
        // As a full disk would: part of the text reaches the file, then the write fails.
        DWORD written = 0;
        WriteFile(file, data, static_cast<DWORD>(size / 2), &written, nullptr);
        return false;
    }
    if (InterlockedCompareExchange(&writesHeld, 0, 0) && GetCurrentThreadId() != holdingThread) {
        DWORD written = 0;
        WriteFile(file, data, static_cast<DWORD>(size / 2), &written, nullptr);
        data += written;
        size -= written;
        while (InterlockedCompareExchange(&writesHeld, 0, 0)) {
            Sleep(RetryPauseMs);
        }
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
        if (StepFails(HistoryFileStep::Move)) {
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

// Temporary names tried beside one file before a write gives up; each taken one is another
// file of this process left by an earlier write that could not delete it.
constexpr int MaxTemporaryTries = 100;

// Creates a temporary file beside path that only this process uses: "<path less .txt>.<pid>.tmp",
// else "...<pid>-2.tmp" and on. CREATE_NEW never opens, and so never follows, an existing file
// or link: a name planted in a shared folder such as Downloads is passed over, and the files
// of another copy of the program (another Windows session sharing the folder) are left alone.
HANDLE CreateOwnTemporaryFile(const char* path, DWORD attributes, char (&tempPath)[PathBufferSize]) {
    const size_t length = std::strlen(path);
    const size_t stem = length > 4 && lstrcmpiA(path + length - 4, ".txt") == 0 ? length - 4 : length;
    const DWORD process = GetCurrentProcessId();
    for (int n = 1; n <= MaxTemporaryTries; ++n) {
        char suffix[64];
        if (n == 1) {
            wsprintfA(suffix, ".%lu.tmp", process);
        } else {
            wsprintfA(suffix, ".%lu-%d.tmp", process, n);
        }
        if (stem + std::strlen(suffix) >= PathBufferSize) {
            return INVALID_HANDLE_VALUE;
        }
        std::memcpy(tempPath, path, stem);
        lstrcpyA(tempPath + stem, suffix);
        HANDLE file = CreateFileA(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return file;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return INVALID_HANDLE_VALUE;
        }
    }
    return INVALID_HANDLE_VALUE;
}

} // namespace

void FailHistoryFileStep(HistoryFileStep step) {
    failingStep = step;
}

void HoldHistoryWrites(bool hold) {
    holdingThread = GetCurrentThreadId();
    InterlockedExchange(&writesHeld, hold ? 1 : 0);
}

CriticalSection& FileRecordLock() {
    static CriticalSection lock;
    return lock;
}

void AbandonWritesOfThread(unsigned long threadId) {
    Locked locked(FileRecordLock());
    abandonedThread = threadId;
    // What the abandoned thread may still write to is no longer this run's unsaved file.
    ForgetUnsavedHistory();
}

bool ThisThreadAbandoned() {
    return abandonedThread != 0 && abandonedThread == GetCurrentThreadId();
}

bool StepFails(HistoryFileStep step) {
    return failingStep == step;
}

bool FolderRefuses() {
    if (StepFails(HistoryFileStep::ReadOnlyFolder)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return true;
    }
    return false;
}

bool JoinPath(char (&path)[PathBufferSize], const char* folder, const char* name) {
    if (std::strlen(folder) + 1 + std::strlen(name) >= PathBufferSize) {
        return false;
    }
    wsprintfA(path, "%s\\%s", folder, name);
    return true;
}

bool CurrentFolder(char (&folder)[PathBufferSize]) {
    const DWORD length = GetCurrentDirectoryA(PathBufferSize, folder);
    return length != 0 && length < PathBufferSize;
}

bool PathInCurrentFolder(char (&path)[PathBufferSize], const char* name) {
    char folder[PathBufferSize];
    return CurrentFolder(folder) && JoinPath(path, folder, name);
}

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

bool WriteThenReplace(const char* path, const HistoryText& text, DWORD attributes, bool inHistoryFolder) {
    char tempPath[PathBufferSize];
    {
        const bool refused = StepFails(HistoryFileStep::CreateTemp) || (inHistoryFolder && FolderRefuses());
        KernelHandle temp(refused ? INVALID_HANDLE_VALUE : CreateOwnTemporaryFile(path, attributes, tempPath));
        if (!temp.valid()) {
            return false;
        }
        const bool written = WriteAll(temp.get(), text.data, text.size) && !StepFails(HistoryFileStep::Flush) &&
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
