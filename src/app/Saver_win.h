// The history saver: writes the history soon after every change to the entries, on a thread of
// its own so that the window never waits for the disk, and once more at the end of the run.
#pragma once

#include <windows.h>

// After the history is loaded: its revision is what the file holds.
void StartSaving();

// After every message of the main window: a change to the entries since the last write is
// written now, or when a second has passed since the last write began. While CWHistry.txt cannot
// take it, each write goes to this run's unsaved file too.
void SaveSoonIfChanged();

// Timer SaveTimer: the second since the last write is over.
void OnSaveTimer();

// SaveDoneMessage: the writer has finished.
void OnSaveDone();

// The session ends, but this process may live on (a log-off that is then cancelled, or one it
// survives): waits for a write on its way and writes the history now, keeping it in the unsaved
// file when that fails. Nobody is told, and the writes after changes go on as before.
void SaveForSessionEnd();

// The end comes in three calls, in this order. First, with the other timers (and before the page
// titles stop): no more timed writes.
void StopSaveTimers();

// Then, once nothing can change the entries any more: waits for a write on its way, writes the
// history one last time, and keeps it in an unsaved file when that fails. At the end of a session
// nobody is told; otherwise the user is told by ReportUnsavedHistory. The store is kept as it is.
void SaveAtEnd(bool sessionEnding);

// Last, after the message loop, when no window is left: tells the user where the history that
// could not be saved was kept, when it had to be, or how many entries were lost when it could be
// kept nowhere.
void ReportUnsavedHistory();
