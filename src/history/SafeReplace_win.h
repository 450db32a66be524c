// What the history's files share: their paths, numbered names, the failure injection of their
// steps, and the write-then-replace that each of them is written by.
#pragma once

#include <windows.h>

#include "base/Guards_win.h"
#include "history/HistoryCodec.h"
#include "history/HistoryTestSeams.h"

constexpr DWORD PathBufferSize = 1024;
// The pause between two tries of a file another program holds.
constexpr DWORD RetryPauseMs = 50;

// "<folder>\<name>"; false when it does not fit the 1024-byte buffer.
bool JoinPath(char (&path)[PathBufferSize], const char* folder, const char* name);

// The current directory, and "<current directory>\<name>"; false when it does not fit.
bool CurrentFolder(char (&folder)[PathBufferSize]);
bool PathInCurrentFolder(char (&path)[PathBufferSize], const char* name);

// The name of a numbered series: "<first>" for 1, else the pattern with n.
void NumberedName(char (&name)[64], int n, const char* first, const char* pattern);

// Whether a failed call's error says that the file or its folder is not there.
bool IsMissing(DWORD error);

// What this run knows of its files (CWHistry.txt as last read or written, the unsaved file's
// name) changes only under this lock, which is never held across disk I/O.
CriticalSection& FileRecordLock();

// Under FileRecordLock: true on a thread whose writes the end has given up on. Such a thread
// changes nothing of what this run knows of its files.
bool ThisThreadAbandoned();

// True when the injected failure is this step.
bool StepFails(HistoryFileStep step);

// True (with ERROR_ACCESS_DENIED) when a file is not to be created in the history's folder.
bool FolderRefuses();

// Writes the text to a new temporary file of this process beside path ("CWHistry.<pid>.tmp" for
// "CWHistry.txt") and moves it over path only when all of it is on disk. On any failure path is
// as it was and the temporary file is gone. The result has the temporary file's attributes;
// inHistoryFolder makes the folder's injected refusal apply.
bool WriteThenReplace(const char* path, const HistoryText& text, DWORD attributes, bool inHistoryFolder);
