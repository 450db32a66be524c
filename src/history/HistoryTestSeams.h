// Test seams of history, for tests only: the program never calls them. Portable; the file steps
// fail only in the Windows build, which has them.
#pragma once

// Failure injection for the store's string allocations: the next `succeed` allocations work as
// usual and the `fail` after them return null; FailStoreAllocations(0, 0) turns injection off.
void FailStoreAllocations(int succeed, int fail);

// The steps of the history's files that a test can make fail.
enum class HistoryFileStep {
    None,
    Read,
    KeepOld,
    CreateTemp,
    Write,
    Flush,
    Move, // fails as a broken disk would, so it is not tried again
    // Every file this run would create in the history's folder is refused with
    // ERROR_ACCESS_DENIED, as in a folder the user may not write (root under Wine may).
    ReadOnlyFolder,
};

// Makes the given step fail on every call until FailHistoryFileStep(HistoryFileStep::None).
void FailHistoryFileStep(HistoryFileStep step);

// While held, every write of a history file stops after its first half, as on a disk that no
// longer answers; released, the writes go on. Writes on the calling thread are never held.
void HoldHistoryWrites(bool hold);

// The set-aside copies' names end at "CWHistry.kept-<last>.txt" instead of the 9999th, so that a
// test can take them all (a folder of 10,000 files is slow under Wine); 0 restores the end.
void EndKeptNamesAt(int last);
