// The history file "CWHistry.txt" in the current directory: read at start-up, replaced safely at
// shutdown (and when the Windows session ends), and a file that could not be read fully kept
// aside before anything replaces it.
#include "history/HistoryFile_win.h"
#include "history/HistoryCodec.h"
#include "history/HistoryFileFaults_win.h"

#include <windows.h>

#include "base/Guards_win.h"
#include "base/Heap_win.h"

#include <cstring>

namespace {

const char HistoryFileName[] = "CWHistry.txt";
// Written completely, then moved over the history file; a crash leaves at most this behind.
const char TempFileName[] = "CWHistry.tmp";
// Where a file that this run could not read fully is kept: "CWHistry.kept.txt", then
// "CWHistry.kept-2.txt", "CWHistry.kept-3.txt", ... whichever is free; none is ever overwritten.
const char KeptFileName[] = "CWHistry.kept.txt";
const char KeptFileNumbered[] = "CWHistry.kept-%d.txt";
constexpr int MaxKeptFiles = 9999;

constexpr DWORD PathBufferSize = 1024;
// A larger file is not a history this program wrote; it is kept aside instead of loaded.
constexpr LONGLONG MaxReadSize = 0x10000000;

// State of this run's file, set by LoadHistory.
struct RunFileState {
    // The file found at start-up was not read completely: copy it aside before the first save.
    bool keepOldFile;
};
RunFileState runFile;

HistoryFileStep failingStep = HistoryFileStep::None;

bool Fails(HistoryFileStep step) {
    return failingStep == step;
}

// "<current directory>\<name>"; false when it does not fit the 1024-byte buffer.
bool ComposePath(char (&path)[PathBufferSize], const char* name) {
    char directory[PathBufferSize];
    const DWORD length = GetCurrentDirectoryA(PathBufferSize, directory);
    if (length == 0 || length >= PathBufferSize || length + 1 + std::strlen(name) >= PathBufferSize) {
        return false;
    }
    wsprintfA(path, "%s\\%s", directory, name);
    return true;
}

// Whether a file that could not be opened still holds bytes worth keeping. A missing file is an
// empty history; a file whose size cannot even be asked is assumed to hold some.
bool UnopenedFileHoldsBytes(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &info)) {
        const DWORD error = GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
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

// Copies the file aside under the first free kept name. True when there is nothing to keep or
// the copy is made.
bool KeepOldFile(const char* path) {
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    if (Fails(HistoryFileStep::KeepOld)) {
        return false;
    }
    for (int n = 1; n <= MaxKeptFiles; ++n) {
        char name[64];
        if (n == 1) {
            lstrcpyA(name, KeptFileName);
        } else {
            wsprintfA(name, KeptFileNumbered, n);
        }
        char keptPath[PathBufferSize];
        if (!ComposePath(keptPath, name)) {
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

// Writes the text to the temporary file and moves it over the history file only when all of it
// is on disk. On any failure the history file is as it was and the temporary file is gone.
bool ReplaceHistoryFile(const char* path, const char* tempPath, const HistoryText& text) {
    // A history file the user made read-only stays as it is: MoveFileEx refuses to replace it on
    // Windows, but Wine would.
    const DWORD oldAttributes = GetFileAttributesA(path);
    if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    // A temporary file left by an interrupted save is ours to overwrite, but CREATE_ALWAYS
    // refuses one that is read-only or marked system.
    SetFileAttributesA(tempPath, FILE_ATTRIBUTE_NORMAL);
    {
        KernelHandle temp(Fails(HistoryFileStep::CreateTemp)
                              ? INVALID_HANDLE_VALUE
                              : CreateFileA(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_HIDDEN, nullptr));
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
    // Replaces the old file, whatever its attributes, or creates it; the result keeps the
    // temporary file's hidden attribute.
    if (Fails(HistoryFileStep::Move) ||
        !MoveFileExA(tempPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(tempPath);
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_HIDDEN)) {
        SetFileAttributesA(path, attributes | FILE_ATTRIBUTE_HIDDEN);
    }
    return true;
}

} // namespace

void FailHistoryFileStep(HistoryFileStep step) {
    failingStep = step;
}

void LoadHistory(HistoryStore& store) {
    runFile = RunFileState{};
    char path[PathBufferSize];
    if (!ComposePath(path, HistoryFileName)) {
        InitEmptyStore(store);
    } else {
        // No sharing: a file another program is writing is not read half-written.
        KernelHandle file(
            CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid()) {
            runFile.keepOldFile = !LoadFromFile(store, file.get());
        } else {
            InitEmptyStore(store);
            runFile.keepOldFile = UnopenedFileHoldsBytes(path);
        }
    }
}

int WriteHistoryFile(HistoryStore& store) {
    HistoryText text;
    char path[PathBufferSize];
    char tempPath[PathBufferSize];
    if (!ComposeStoreText(store, text) || !ComposePath(path, HistoryFileName) ||
        !ComposePath(tempPath, TempFileName)) {
        return 0;
    }
    // Bytes that could not be read at start-up are kept before anything replaces them; when
    // they cannot be kept, the file is not replaced.
    if (runFile.keepOldFile) {
        if (!KeepOldFile(path)) {
            return 0;
        }
        runFile.keepOldFile = false;
    }
    return ReplaceHistoryFile(path, tempPath, text) ? 1 : 0;
}

void SaveHistory(HistoryStore& store) {
    WriteHistoryFile(store);
    ReleaseStoreStrings(store);
}
